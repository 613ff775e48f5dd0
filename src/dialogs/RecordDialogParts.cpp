#include "dialogs/RecordDialogParts.h"

#include "app/AppContext.h"
#include "app/HelpKey.h"
#include "shell/Cp1252.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"
#include "tools/DesignerIcons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace RecordDialogParts {

QString Lines(const QStringList& lines)
{
    QString sql;
    for (const QString& l : lines)
        sql += l + QStringLiteral("\r\n");
    return sql;
}

void ReportReplacements(AppContext& ctx, const QStringList& texts)
{
    QStringList replaced;
    for (const QString& text : texts)
        for (const auto& [from, to] : Cp1252::Replacements(text)) {
            const QString pair = from + QStringLiteral(" → ") + to;
            if (!replaced.contains(pair))
                replaced << pair;
        }
    if (!replaced.isEmpty())
        ctx.Messages->InfoMessage(QStringLiteral("Einige Zeichen wurden durch ähnliche ersetzt: ") +
                                  replaced.join(QStringLiteral(", ")));
}

BottomBar MakeBottomBar(QDialog* dialog, AppContext& ctx, int helpTopic)
{
    BottomBar bar{new QHBoxLayout, new QToolButton(dialog), new QPushButton(QStringLiteral("&Speichern"), dialog),
                  new QPushButton(QStringLiteral("Abbrechen"), dialog)};
    bar.help->setObjectName(QStringLiteral("Button_Help"));
    bar.help->setIcon(DesignerIcons::Help());
    bar.help->setToolTip(QStringLiteral("Hilfe"));
    bar.help->setAccessibleName(QStringLiteral("Hilfe"));
    bar.save->setObjectName(QStringLiteral("Button_Save"));
    bar.cancel->setObjectName(QStringLiteral("Button_Cancel"));
    // Enter in an edit must not save by accident: no default button.
    bar.save->setAutoDefault(false);
    bar.cancel->setAutoDefault(false);
    bar.layout->addWidget(bar.help);
    bar.layout->addStretch(1);
    bar.layout->addWidget(bar.save);
    bar.layout->addWidget(bar.cancel);
    QObject::connect(bar.help, &QToolButton::clicked, dialog, [&ctx, helpTopic] {
        if (ctx.Help)
            ctx.Help->ShowHelpTopic(helpTopic);
    });
    QObject::connect(bar.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    InstallHelpKey(dialog, ctx, helpTopic);
    return bar;
}

void AddSaveShortcut(QDialog* dialog, QPushButton* save)
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), dialog);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, save, &QPushButton::click);
}

int InputLimit(int limit, const QString& stored)
{
    return std::max(limit, int(stored.size()));
}

void AllowLength(QLineEdit* edit, qsizetype length)
{
    edit->setMaxLength(std::max(edit->maxLength(), int(length)));
}

void ShowStored(QLineEdit* edit, const QString& stored)
{
    // The limit first: a line edit cuts what it is given at its maximum length.
    AllowLength(edit, stored.size());
    edit->setText(stored);
}

} // namespace RecordDialogParts
