#include "dialogs/RecordDialogParts.h"

#include "app/AppContext.h"
#include "shell/HelpService.h"
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

BottomBar MakeBottomBar(QDialog* dialog, AppContext& ctx, int helpTopic)
{
    BottomBar bar{new QHBoxLayout, new QToolButton(dialog), new QPushButton(QStringLiteral("Speichern"), dialog),
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
