#include "tools/HelpWindow.h"

#include "tools/ChmBrowser.h"
#include "tools/ChmFile.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Lumo Tavisto - Hilfe"));
    resize(860, 600);
    // An open help window must not keep the program running once the main window closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* back = new QPushButton(QStringLiteral("&Zurück"), this);
    back->setObjectName(QStringLiteral("Button_Back"));
    auto* forward = new QPushButton(QStringLiteral("&Vorwärts"), this);
    forward->setObjectName(QStringLiteral("Button_Forward"));
    auto* home = new QPushButton(QStringLiteral("&Startseite"), this);
    home->setObjectName(QStringLiteral("Button_Home"));
    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("Button_Close"));

    m_contents = new QTreeWidget(this);
    m_contents->setObjectName(QStringLiteral("TreeView_Inhalt"));
    m_contents->setHeaderLabel(QStringLiteral("Inhalt"));
    m_contents->header()->setVisible(false);
    m_contents->setAccessibleName(QStringLiteral("Inhalt"));

    m_browser = new ChmBrowser(this);
    m_browser->setObjectName(QStringLiteral("Browser_Topic"));
    m_browser->setAccessibleName(QStringLiteral("Hilfethema"));

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_contents);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 640});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(home);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QPushButton::clicked, this, [this] {
        if (m_file)
            ShowPage(m_file->DefaultPage());
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Escape closes it, as it closes every other window of the program.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    escape->setContext(Qt::WindowShortcut);
    connect(m_contents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const QString page = item->data(0, Qt::UserRole).toString();
        if (!page.isEmpty())
            ShowPage(page);
    });
    connect(m_browser, &QTextBrowser::sourceChanged, this,
            [this](const QUrl& url) { selectContentsFor(url.path()); });
}

HelpWindow::~HelpWindow() = default;

bool HelpWindow::Open(const QString& fileName)
{
    auto file = std::make_unique<ChmFile>(fileName);
    if (!file->IsOpen() || file->DefaultPage().isEmpty())
        return false;
    m_browser->SetFile(nullptr);
    m_browser->clearHistory();
    m_file = std::move(file);
    m_fileName = fileName;
    m_browser->SetFile(m_file.get());
    fillContents();
    return true;
}

void HelpWindow::fillContents()
{
    m_contents->clear();
    QList<QTreeWidgetItem*> parents;
    for (const ChmFile::TocEntry& entry : m_file->Contents()) {
        while (parents.size() > entry.Level)
            parents.removeLast();
        auto* item = parents.isEmpty() ? new QTreeWidgetItem(m_contents) : new QTreeWidgetItem(parents.last());
        item->setText(0, entry.Name);
        item->setData(0, Qt::UserRole, entry.Local);
        parents.append(item);
    }
    m_contents->expandAll();
}

bool HelpWindow::ShowContext(int context)
{
    if (!m_file)
        return false;
    const QString page = m_file->PageForContext(context);
    if (page.isEmpty() || !m_file->Contains(page)) {
        ShowPage(m_file->DefaultPage());
        return false;
    }
    ShowPage(page);
    return true;
}

void HelpWindow::ShowPage(const QString& archivePath)
{
    m_browser->setSource(ChmBrowser::PageUrl(archivePath), QTextDocument::HtmlResource);
}

QString HelpWindow::CurrentPage() const
{
    return m_browser->source().path();
}

void HelpWindow::selectContentsFor(const QString& archivePath)
{
    // A book and one of its topics may name the same page: the topic is the better mark.
    if (QTreeWidgetItem* current = m_contents->currentItem();
        current && current->childCount() == 0 && current->data(0, Qt::UserRole).toString() == archivePath)
        return;
    QTreeWidgetItem* best = nullptr;
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() != archivePath)
            continue;
        if (!best || (best->childCount() > 0 && (*it)->childCount() == 0))
            best = *it;
    }
    if (best)
        m_contents->setCurrentItem(best);
}
