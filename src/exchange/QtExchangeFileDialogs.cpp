#include "exchange/QtExchangeFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

ExchangeFileDialogs& ExchangeFileDialogs::Standard()
{
    static QtExchangeFileDialogs dialogs;
    return dialogs;
}

namespace {

// Qt's own dialog opens at its smallest size, which cuts the columns' texts ("Ver…nis")
// and the folder names at the side; this size shows them whole.
void giveRoom(QFileDialog& dialog)
{
    dialog.resize(dialog.sizeHint().expandedTo(QSize(760, 460)));
    // The detail columns as wide as their texts, the name column takes the rest.
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}

// The chosen file and the index of the filter entry shown when it was chosen.
ExchangeFileDialogs::FileChoice chosen(const QFileDialog& dialog, const QStringList& filters)
{
    ExchangeFileDialogs::FileChoice choice;
    choice.fileName = QDir::toNativeSeparators(dialog.selectedFiles().first());
    choice.filterIndex = int(filters.indexOf(dialog.selectedNameFilter()));
    if (choice.filterIndex < 0)
        choice.filterIndex = 0;
    return choice;
}

} // namespace

ExchangeFileDialogs::FileChoice QtExchangeFileDialogs::OpenFileName(QWidget* parent, const QString& title,
                                                                    const QString& folder, const QStringList& filters)
{
    QFileDialog dialog(parent, title, folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    giveRoom(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return FileChoice();
    return chosen(dialog, filters);
}

ExchangeFileDialogs::SaveChoice QtExchangeFileDialogs::SaveFileName(QWidget* parent, const QString& title,
                                                                    const QString& folder, const QStringList& filters,
                                                                    int selectedFilter, const QString& fileName)
{
    QFileDialog dialog(parent, title, folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (selectedFilter >= 0 && selectedFilter < filters.size())
        dialog.selectNameFilter(filters.at(selectedFilter));
    dialog.selectFile(fileName);
    // The command asks about an existing file itself, after the extension is settled.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    giveRoom(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return SaveChoice();
    return chosen(dialog, filters);
}
