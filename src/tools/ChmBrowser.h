#pragma once
#include <QTextBrowser>

class ChmFile;

// Shows pages of a compiled help file; links, pictures and style sheets come from the
// same archive. Pages are addressed as "chm:/page.htm".
class ChmBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    explicit ChmBrowser(QWidget* parent = nullptr);
    void SetFile(const ChmFile* file) { m_file = file; }
    static QUrl PageUrl(const QString& archivePath);

    QVariant loadResource(int type, const QUrl& name) override;

private:
    const ChmFile* m_file = nullptr;
};
