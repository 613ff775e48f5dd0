#pragma once
#include "shell/HelpService.h"

#include <memory>

struct AppContext;
class HelpWindow;

// The program's help: shows the help file beside the program (AppPaths.HelpFile) in the
// program's own help window, at the topic of the context number.
class ChmHelpService : public HelpService
{
public:
    explicit ChmHelpService(AppContext& ctx);
    ~ChmHelpService() override;

    void ShowHelpTopic(int context) override;

    // The window once a topic was shown; for the callers that arrange windows.
    HelpWindow* Window() const { return m_window.get(); }

private:
    AppContext& m_ctx;
    std::unique_ptr<HelpWindow> m_window;
};
