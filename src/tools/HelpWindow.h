#pragma once
#include <QWidget>
#include <memory>

class ChmBrowser;
class ChmFile;
class QTreeWidget;
class QTreeWidgetItem;

// The program's help viewer: the help file's contents on the left, the page on the right.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Opens the help file; false when it cannot be read as compiled HTML help.
    bool Open(const QString& fileName);
    const QString& FileName() const { return m_fileName; }

    // Shows the topic of the context number, or the start page for an unknown number.
    // False when the file has no page for it.
    bool ShowContext(int context);
    void ShowPage(const QString& archivePath);
    // The archive path of the page shown ("/adressen.htm").
    QString CurrentPage() const;

private:
    void fillContents();
    void selectContentsFor(const QString& archivePath);

    std::unique_ptr<ChmFile> m_file;
    QString m_fileName;
    QTreeWidget* m_contents = nullptr;
    ChmBrowser* m_browser = nullptr;
};
