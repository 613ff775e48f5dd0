#include "carddav/TDLG_Onlineadressbuch.h"

#include "app/AppContext.h"
#include "carddav/CarddavPasswords.h"
#include "carddav/CarddavStore.h"
#include "shell/MessageService.h"
#include "store/ESQLiteException.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

bool AskTrustCertificate(QWidget* parent, const CarddavError& error)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Zertifikat nicht vertrauenswürdig"),
                    CarddavErrorText(error), QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("MessageBox_Zertifikat"));
    QPushButton* trust = box.addButton(QStringLiteral("Trotzdem vertrauen"), QMessageBox::AcceptRole);
    trust->setObjectName(QStringLiteral("Button_Vertrauen"));
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.exec();
    return box.clickedButton() == trust;
}

bool AskPlainHttp(QWidget* parent, const QString& host)
{
    CarddavError e;
    e.Kind = CarddavFailure::PlainHttp;
    e.Host = host;
    const auto answer = QMessageBox::warning(parent, QStringLiteral("Unverschlüsselte Verbindung"),
                                             CarddavErrorText(e) + QStringLiteral("\n\nTrotzdem verbinden?"),
                                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}

TDLG_Onlineadressbuch::TDLG_Onlineadressbuch(AppContext& ctx, CarddavPasswords& passwords, const QString& gruppeId,
                                             QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_passwords(passwords), m_gruppeId(gruppeId)
{
    setObjectName(QStringLiteral("TDLG_Onlineadressbuch"));
    setWindowTitle(QStringLiteral("Mit Online-Adressbuch verbinden"));
    auto* root = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    Edit_Server = new QLineEdit(this);
    Edit_Server->setObjectName(QStringLiteral("Edit_Server"));
    Edit_Server->setPlaceholderText(QStringLiteral("https://cloud.example.org"));
    Edit_Server->setMinimumWidth(360);
    Edit_User = new QLineEdit(this);
    Edit_User->setObjectName(QStringLiteral("Edit_User"));
    Edit_Password = new QLineEdit(this);
    Edit_Password->setObjectName(QStringLiteral("Edit_Password"));
    Edit_Password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Serveradresse:"), Edit_Server);
    form->addRow(QStringLiteral("Benutzername:"), Edit_User);
    form->addRow(QStringLiteral("Passwort:"), Edit_Password);
    root->addLayout(form);

    Button_Suchen = new QPushButton(QStringLiteral("Adressbücher suchen"), this);
    Button_Suchen->setObjectName(QStringLiteral("Button_Suchen"));
    root->addWidget(Button_Suchen, 0, Qt::AlignRight);
    Label_Status = new QLabel(this);
    Label_Status->setObjectName(QStringLiteral("Label_Status"));
    root->addWidget(Label_Status);
    root->addWidget(new QLabel(QStringLiteral("Adressbuch:"), this));
    ListBox_Adressbuecher = new QListWidget(this);
    ListBox_Adressbuecher->setObjectName(QStringLiteral("ListBox_Adressbuecher"));
    ListBox_Adressbuecher->setAccessibleName(QStringLiteral("Adressbuch"));
    root->addWidget(ListBox_Adressbuecher, 1);
    CheckBox_BeimStart = new QCheckBox(QStringLiteral("Beim Start aktualisieren"), this);
    CheckBox_BeimStart->setObjectName(QStringLiteral("CheckBox_BeimStart"));
    root->addWidget(CheckBox_BeimStart);
    auto* hint = new QLabel(QStringLiteral("Die Adressen werden nur vom Server in diese Gruppe übernommen. "
                                           "Geändert werden sie im Online-Adressbuch."),
                            this);
    hint->setWordWrap(true);
    root->addWidget(hint);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    Button_Save = new QPushButton(QStringLiteral("Verbinden"), this);
    Button_Save->setObjectName(QStringLiteral("Button_Save"));
    Button_Save->setEnabled(false);
    Button_Cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    Button_Cancel->setObjectName(QStringLiteral("Button_Cancel"));
    buttons->addWidget(Button_Save);
    buttons->addWidget(Button_Cancel);
    root->addLayout(buttons);

    connect(Button_Suchen, &QPushButton::clicked, this, &TDLG_Onlineadressbuch::Button_SuchenClick);
    connect(Button_Save, &QPushButton::clicked, this, &TDLG_Onlineadressbuch::Button_SaveClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBox_Adressbuecher, &QListWidget::currentRowChanged, this,
            [this](int row) { Button_Save->setEnabled(row >= 0); });

    if (const std::optional<CarddavLink> link = CarddavStore::LoadLink(ctx.db(), gruppeId)) {
        Edit_Server->setText(link->Server);
        Edit_User->setText(link->User);
        CheckBox_BeimStart->setChecked(link->SyncAtStart);
        m_plainHttpAllowed = link->PlainHttp;
    }
}

TDLG_Onlineadressbuch::~TDLG_Onlineadressbuch() = default;

void TDLG_Onlineadressbuch::Button_SuchenClick()
{
    m_server = NormalizeServerUrl(Edit_Server->text());
    if (!m_server.isValid()) {
        m_ctx.Messages->ErrorMessage(QStringLiteral("Bitte geben Sie die Adresse des Servers an (zum Beispiel "
                                                    "https://cloud.example.org)."));
        Edit_Server->setFocus();
        return;
    }
    if (m_server.scheme() == u"http" && !IsLocalHost(m_server.host()) && !m_plainHttpAllowed) {
        if (!AskPlainHttp(this, m_server.host()))
            return;
        m_plainHttpAllowed = true;
    }
    ListBox_Adressbuecher->clear();
    m_books.clear();
    CarddavAccount account{m_server, Edit_User->text(), Edit_Password->text(), m_ctx.Settings.TrustedCertificates,
                           m_plainHttpAllowed};
    m_client = std::make_unique<CarddavClient>(account);
    m_client->SetFailed([this](const CarddavError& e) { failed(e); });
    Button_Suchen->setEnabled(false);
    Label_Status->setText(QStringLiteral("Die Adressbücher auf „%1“ werden gesucht …").arg(m_server.host()));
    m_client->Discover([this](const QList<CarddavBook>& books) { found(books); });
}

void TDLG_Onlineadressbuch::found(const QList<CarddavBook>& books)
{
    m_client.release()->deleteLater();
    Button_Suchen->setEnabled(true);
    m_books = books;
    for (const CarddavBook& b : books)
        ListBox_Adressbuecher->addItem(b.Name);
    Label_Status->setText(books.size() == 1 ? QStringLiteral("1 Adressbuch gefunden.")
                                            : QStringLiteral("%1 Adressbücher gefunden.").arg(books.size()));
    ListBox_Adressbuecher->setCurrentRow(0);
}

void TDLG_Onlineadressbuch::failed(const CarddavError& error)
{
    // Deleted once the client has returned from its call.
    m_client.release()->deleteLater();
    Button_Suchen->setEnabled(true);
    Label_Status->clear();
    if (error.Kind == CarddavFailure::CertificateUntrusted) {
        if (AskTrustCertificate(this, error)) {
            m_ctx.Settings.TrustedCertificates.append(error.Fingerprint);
            Button_SuchenClick();
        }
        return;
    }
    m_ctx.Messages->ErrorMessage(CarddavErrorText(error));
    if (error.Kind == CarddavFailure::WrongPassword) {
        Edit_Password->selectAll();
        Edit_Password->setFocus();
    }
}

void TDLG_Onlineadressbuch::Button_SaveClick()
{
    const int row = ListBox_Adressbuecher->currentRow();
    if (row < 0 || row >= m_books.size())
        return;
    CarddavLink link;
    link.GruppeId = m_gruppeId;
    link.Server = m_server.toString();
    link.Book = m_books[row].Url.toString();
    link.BookName = m_books[row].Name;
    link.User = Edit_User->text();
    link.SyncAtStart = CheckBox_BeimStart->isChecked();
    link.PlainHttp = m_plainHttpAllowed;
    try {
        CarddavStore::SaveLink(m_ctx.db(), link);
    } catch (const ESQLiteException& e) {
        m_ctx.Messages->ErrorMessage(e.message());
        return;
    }
    m_passwords.Store(CarddavPasswords::Key(link.User, link.Server), Edit_Password->text());
    accept();
}
