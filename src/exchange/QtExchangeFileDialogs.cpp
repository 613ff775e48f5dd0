#include "exchange/QtExchangeFileDialogs.h"

#include <QDir>
#include <QFileDialog>

ExchangeFileDialogs& ExchangeFileDialogs::Standard()
{
    static QtExchangeFileDialogs dialogs;
    return dialogs;
}

QString QtExchangeFileDialogs::OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                            const QString& filter)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
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
    SaveChoice choice;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return choice;
    choice.fileName = QDir::toNativeSeparators(dialog.selectedFiles().first());
    choice.filterIndex = int(filters.indexOf(dialog.selectedNameFilter()));
    if (choice.filterIndex < 0)
        choice.filterIndex = 0;
    return choice;
}
