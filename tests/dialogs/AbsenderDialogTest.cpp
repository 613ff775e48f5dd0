#include "dialogs/QtPictureSource.h"
#include "dialogs/TDLG_Absender.h"
#include "imaging/JpegCodec.h"
#include "imaging/PngCodec.h"
#include "store/RecordOperations.h"
#include "support/DialogFixture.h"
#include "support/FakePictureSource.h"
#include "tools/BannerPreview.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

namespace {

bool near(QRgb a, QRgb b, int tolerance = 16)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Left half opaque red, right half fully transparent.
QImage redAndTransparent(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x)
            img.setPixel(x, y, qRgba(255, 0, 0, 255));
    return img;
}

QImage solid(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(c);
    return img;
}

} // namespace

class AbsenderDialog : public DialogFixture
{
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        db().ExecSQL("INSERT INTO tab_absender (Absender_ID, Line1) VALUES ('AB00000001', 'Alte Firma')");
    }
    template <typename T>
    static T* child(QWidget& d, const char* name)
    {
        T* w = d.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    int banners() { return count("SELECT COUNT(*) FROM tab_banner"); }
    void storeBanner(const QString& id, const QImage& picture) { ASSERT_TRUE(SaveBanner(db(), messages, id, picture)); }

    FakePictureSource pictures;
};

TEST_F(AbsenderDialog, NewSenderWithoutBannerNeverTouchesTheBannerTable)
{
    TDLG_Absender d(ctx, QString(), nullptr);
    d.SetPictureSource(&pictures);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Neuen Absender hinzufügen..."));
    child<QLineEdit>(d, "Edit_Line1")->setText("Neue \"Firma\"");
    child<QLineEdit>(d, "Edit_Line2")->setText("Line2");
    activate(d);
    QTest::keyClick(&d, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.AbsenderID(), QStringLiteral("AB00000002"));
    EXPECT_EQ(value("SELECT Line1 FROM tab_absender WHERE Absender_ID='AB00000002'"), QStringLiteral("Neue \"Firma\""));
    EXPECT_EQ(value("SELECT Line2 FROM tab_absender WHERE Absender_ID='AB00000002'"), QStringLiteral("Line2"));
    EXPECT_EQ(banners(), 0);
}

TEST_F(AbsenderDialog, EditingLinesKeepsTheStoredBannerUntouched)
{
    storeBanner("AB00000001", solid(30, 10, Qt::blue));
    const QByteArray before = db().GetTable("SELECT Banner FROM tab_banner").FieldAsBlob(0).value_or(QByteArray());
    TDLG_Absender d(ctx, "AB00000001", nullptr);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Absender bearbeiten..."));
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Line1")->text(), QStringLiteral("Alte Firma"));
    EXPECT_EQ(d.Banner().size(), QSize(30, 10));
    EXPECT_FALSE(d.BannerChanged());
    child<QLineEdit>(d, "Edit_Line1")->setText("Neue Firma");
    d.Button_SaveClick();
    EXPECT_EQ(value("SELECT Line1 FROM tab_absender WHERE Absender_ID='AB00000001'"), QStringLiteral("Neue Firma"));
    EXPECT_EQ(db().GetTable("SELECT Banner FROM tab_banner").FieldAsBlob(0).value_or(QByteArray()), before);
}

TEST_F(AbsenderDialog, TransparentPngIsStoredWithWhiteUnderItsNewIdentifier)
{
    const QString file = dir.write("logo.png", PngCodec::encode(redAndTransparent(64, 20)));
    pictures.nextFile = file;
    TDLG_Absender d(ctx, QString(), nullptr);
    d.SetPictureSource(&pictures);
    child<QTabBar>(d, "TabsControl_Absender")->setCurrentIndex(1);
    child<QToolButton>(d, "Button_Banner_Open")->click();
    EXPECT_EQ(pictures.dialogsShown, 1);
    EXPECT_TRUE(d.BannerChanged());
    child<QLineEdit>(d, "Edit_Line1")->setText("Firma mit Logo");
    d.Button_SaveClick();
    ASSERT_EQ(d.AbsenderID(), QStringLiteral("AB00000002"));
    EXPECT_FALSE(d.BannerChanged());

    QImage stored;
    ASSERT_TRUE(LoadBanner(db(), "AB00000002", stored));
    EXPECT_EQ(stored.size(), QSize(64, 20));
    EXPECT_TRUE(near(stored.pixel(8, 10), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(stored.pixel(56, 10), qRgb(255, 255, 255), 4));
    // Reopening shows the stored banner.
    TDLG_Absender again(ctx, "AB00000002", nullptr);
    EXPECT_EQ(again.Banner().size(), QSize(64, 20));
}

TEST_F(AbsenderDialog, RemovingAsksAndOnlySavingDeletesTheStoredBanner)
{
    storeBanner("AB00000001", solid(20, 10, Qt::green));
    {
        TDLG_Absender d(ctx, "AB00000001", nullptr);
        messages.answer({Msg::IdNo});
        child<QToolButton>(d, "Button_Banner_Delete")->click();
        EXPECT_EQ(messages.texts(), QStringList{"Sind Sie sicher, dass das Banner entfernt werden soll?"});
        EXPECT_EQ(messages.shown.value(0).kind, Msg::Confirmation);
        EXPECT_EQ(messages.shown.value(0).buttons, Msg::Yes | Msg::No);
        EXPECT_FALSE(d.Banner().isNull());
        messages.answer({Msg::IdYes});
        child<QToolButton>(d, "Button_Banner_Delete")->click();
        EXPECT_TRUE(d.Banner().isNull());
        child<QPushButton>(d, "Button_Cancel")->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
    EXPECT_EQ(banners(), 1);
    {
        TDLG_Absender d(ctx, "AB00000001", nullptr);
        messages.answer({Msg::IdYes});
        child<QToolButton>(d, "Button_Banner_Delete")->click();
        d.Button_SaveClick();
    }
    EXPECT_EQ(banners(), 0);
}

TEST_F(AbsenderDialog, MissingOrBadPictureFilesChangeNothing)
{
    storeBanner("AB00000001", solid(20, 10, Qt::green));
    QByteArray jpeg = JpegCodec::encode(solid(200, 200, Qt::red));
    QImage oneByOne(1, 1, QImage::Format_RGB888);
    oneByOne.fill(Qt::white);
    QByteArray hugePng = PngCodec::encode(oneByOne);
    // Claim 10,000 × 10,000 in the header (checksum not needed: the size is refused first
    // or the file is refused as broken; both are clear messages).
    hugePng[16 + 2] = char(0x27), hugePng[16 + 3] = char(0x10), hugePng[20 + 2] = char(0x27), hugePng[20 + 3] = char(0x10);
    const struct
    {
        const char* name;
        QByteArray bytes;
        bool message;
    } cases[] = {
        {"text.png", "Hallo, ich bin kein Bild.", true},
        {"cut.jpg", jpeg.left(jpeg.size() / 2), true},
        {"huge.png", hugePng, true},
        {nullptr, {}, false},  // a name that does not exist
    };
    TDLG_Absender d(ctx, "AB00000001", nullptr);
    d.SetPictureSource(&pictures);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "missing");
        messages.shown.clear();
        pictures.nextFile = c.name ? dir.write(c.name, c.bytes) : dir.file("gibt-es-nicht.png");
        child<QToolButton>(d, "Button_Banner_Open")->click();
        EXPECT_EQ(messages.shown.size(), c.message ? 1 : 0);
        if (c.message) {
            EXPECT_EQ(messages.shown.value(0).kind, Msg::Error);
            EXPECT_FALSE(messages.shown.value(0).text.isEmpty());
        }
        EXPECT_EQ(d.Banner().size(), QSize(20, 10));
        EXPECT_FALSE(d.BannerChanged());
    }
    d.Button_SaveClick();
    QImage stored;
    EXPECT_TRUE(LoadBanner(db(), "AB00000001", stored));
}

TEST_F(AbsenderDialog, ClipboardPasteCopyAndButtonStates)
{
    TDLG_Absender d(ctx, "AB00000001", nullptr);
    d.SetPictureSource(&pictures);
    auto* paste = child<QToolButton>(d, "Button_Banner_Paste");
    auto* copy = child<QToolButton>(d, "Button_Banner_Copy");
    auto* remove = child<QToolButton>(d, "Button_Banner_Delete");

    // On the first tab the states stay as they are.
    d.UpdateButtonStates();
    EXPECT_TRUE(paste->isEnabled() && copy->isEnabled() && remove->isEnabled());
    child<QTabBar>(d, "TabsControl_Absender")->setCurrentIndex(1);
    d.UpdateButtonStates();
    EXPECT_FALSE(paste->isEnabled());
    EXPECT_FALSE(copy->isEnabled());
    EXPECT_FALSE(remove->isEnabled());

    // An empty clipboard: pasting does nothing.
    paste->click();
    EXPECT_FALSE(d.BannerChanged());
    // A metafile alone enables the button, but there is no bitmap to paste.
    pictures.metafile = true;
    d.UpdateButtonStates();
    EXPECT_TRUE(paste->isEnabled());
    paste->click();
    EXPECT_TRUE(d.Banner().isNull());
    EXPECT_FALSE(d.BannerChanged());

    QImage withAlpha = redAndTransparent(40, 10);
    pictures.bitmap = withAlpha;
    paste->click();
    ASSERT_EQ(d.Banner().size(), QSize(40, 10));
    EXPECT_EQ(d.Banner().pixel(35, 5), qRgb(255, 255, 255));
    EXPECT_TRUE(d.BannerChanged());
    d.UpdateButtonStates();
    EXPECT_TRUE(copy->isEnabled() && remove->isEnabled());

    pictures.bitmap = QImage();
    copy->click();
    EXPECT_EQ(pictures.bitmap.size(), QSize(40, 10));
}

TEST_F(AbsenderDialog, QtClipboardOffersOnlyPictures)
{
    QtPictureSource qt;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    EXPECT_FALSE(qt.ClipboardHasBitmap());
    EXPECT_TRUE(qt.ClipboardBitmap().isNull());
    clipboard->setText("nur Text");
    EXPECT_FALSE(qt.ClipboardHasBitmap());
    EXPECT_FALSE(qt.ClipboardHasPicture());
    auto* wmf = new QMimeData;
    wmf->setData("image/x-wmf", "....");
    clipboard->setMimeData(wmf);
    EXPECT_FALSE(qt.ClipboardHasBitmap());
    EXPECT_TRUE(qt.ClipboardHasPicture());
    qt.SetClipboardBitmap(solid(7, 3, Qt::blue));
    EXPECT_TRUE(qt.ClipboardHasBitmap());
    EXPECT_EQ(qt.ClipboardBitmap().size(), QSize(7, 3));

    // The real dialog with the real clipboard holding text: pasting changes nothing.
    clipboard->setText("nur Text");
    TDLG_Absender d(ctx, "AB00000001", nullptr);
    child<QToolButton>(d, "Button_Banner_Paste")->click();
    EXPECT_FALSE(d.BannerChanged());
}

TEST(PictureOpenDialog, FiltersMatchExtensionsInAnyCase)
{
    const QStringList filters = QtPictureSource::Filters();
    ASSERT_EQ(filters.size(), 6);
    EXPECT_TRUE(filters[0].startsWith("BMP - Windows Bitmaps ("));
    EXPECT_TRUE(filters[5].startsWith("Alle unterstützten Formate ("));
    // The patterns of a filter, as the dialog matches them.
    auto matches = [&filters](int filter, const QString& name) {
        const QString f = filters[filter];
        const QString inner = f.mid(f.lastIndexOf('(') + 1).chopped(1);
        for (const QString& pattern : inner.split(' '))
            if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern)).match(name).hasMatch())
                return true;
        return false;
    };
    for (const char* name : {"LOGO.JPEG", "logo.jpeg", "Logo.Jpg", "a.BMP", "b.png", "c.GIF", "d.Wmf"})
        EXPECT_TRUE(matches(5, name)) << name;
    EXPECT_TRUE(matches(1, "LOGO.JPEG"));
    EXPECT_FALSE(matches(1, "logo.png"));
    EXPECT_FALSE(matches(5, "logo.jpeg.txt"));
    EXPECT_FALSE(matches(5, "notiz.txt"));
}

TEST_F(AbsenderDialog, DesignedBannerGoesIntoThePreview)
{
    TDLG_Absender d(ctx, "AB00000001", nullptr);
    onNextModal([](QWidget* designer) {
        auto* ok = designer->findChild<QPushButton*>("Button_OK");
        ASSERT_TRUE(ok);
        ok->click();
    });
    child<QPushButton>(d, "Button_Designer")->click();
    ASSERT_FALSE(d.Banner().isNull());
    EXPECT_EQ(d.Banner().height(), 360);
    EXPECT_TRUE(d.BannerChanged());
    d.Button_SaveClick();
    QImage stored;
    ASSERT_TRUE(LoadBanner(db(), "AB00000001", stored));
    EXPECT_EQ(stored.height(), 360);
}

TEST_F(AbsenderDialog, UnreadableStoredBannerIsReportedAndCanBeReplaced)
{
    db().ExecSQL("INSERT INTO tab_banner (Banner_ID, Absender_ID, Banner) VALUES ('BN00000001', 'AB00000001', ?)",
                 {QByteArray("kein JPEG")});
    TDLG_Absender d(ctx, "AB00000001", nullptr);
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(d.Banner().isNull());
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Line1")->text(), QStringLiteral("Alte Firma"));
    // Saving the lines alone leaves the row; a new picture replaces it.
    d.SetPictureSource(&pictures);
    pictures.bitmap = solid(12, 6, Qt::red);
    child<QToolButton>(d, "Button_Banner_Paste")->click();
    d.Button_SaveClick();
    QImage stored;
    ASSERT_TRUE(LoadBanner(db(), "AB00000001", stored));
    EXPECT_EQ(stored.size(), QSize(12, 6));
}

TEST_F(AbsenderDialog, BlankFirstLineIsRefusedAndHelpOpensItsTopic)
{
    TDLG_Absender d(ctx, QString(), nullptr);
    d.show();
    child<QTabBar>(d, "TabsControl_Absender")->setCurrentIndex(1);
    child<QPushButton>(d, "Button_Save")->click();
    EXPECT_EQ(messages.texts(), QStringList{"Die 1. Zeile muss angegeben werden!"});
    EXPECT_EQ(child<QTabBar>(d, "TabsControl_Absender")->currentIndex(), 0);
    EXPECT_TRUE(d.isVisible());
    child<QToolButton>(d, "Button_Help")->click();
    EXPECT_EQ(help.topics, QList<int>{1002});
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_absender"), 1);
}

TEST_F(AbsenderDialog, PreviewScalesToFitAndCentres)
{
    TDLG_Absender d(ctx, "AB00000001", nullptr);
    auto* preview = d.findChild<BannerPreview*>("Shape_Banner");
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->size(), QSize(342, 122));
    const struct
    {
        QSize picture;
        QRect drawn;
    } cases[] = {
        {{34, 12}, {0, 0, 340, 120}},      // enlarged
        {{1400, 400}, {0, 11, 340, 97}},   // reduced, centred vertically
        {{100, 100}, {110, 0, 120, 120}},  // centred horizontally
    };
    for (const auto& c : cases) {
        preview->setPicture(solid(c.picture.width(), c.picture.height(), Qt::red));
        EXPECT_EQ(preview->pictureRect(), c.drawn) << c.picture.width();
    }
}

TEST_F(AbsenderDialog, LongStoredLinesAreShownWholeAndSavedUnchanged)
{
    const QString imported = QStringLiteral("Lumo Software GmbH & Co. KG, Geschäftsbereich Briefumschläge");
    ASSERT_GT(imported.size(), 50);
    db().ExecSQL("INSERT INTO tab_absender (Absender_ID, Line1, Line2) VALUES ('AB00000009', ?, 'kurz')", {imported});
    TDLG_Absender d(ctx, "AB00000009", nullptr);
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Line1")->text(), imported);
    // Typing cannot lengthen it; a short line keeps the usual limit.
    child<QLineEdit>(d, "Edit_Line1")->end(false);
    QTest::keyClicks(child<QLineEdit>(d, "Edit_Line1"), "!");
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Line1")->text(), imported);
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Line2")->maxLength(), 50);
    d.Button_SaveClick();
    EXPECT_EQ(value("SELECT Line1 FROM tab_absender WHERE Absender_ID='AB00000009'"), imported);
    EXPECT_EQ(value("SELECT Line2 FROM tab_absender WHERE Absender_ID='AB00000009'"), QStringLiteral("kurz"));
}

TEST_F(AbsenderDialog, FirstLineOfANonBreakingSpaceIsNotBlankButOneOfControlsIs)
{
    TDLG_Absender refused(ctx, QString(), nullptr);
    child<QLineEdit>(refused, "Edit_Line1")->setText(QStringLiteral("\u0001\t"));
    refused.Button_SaveClick();
    EXPECT_EQ(messages.texts(), QStringList{"Die 1. Zeile muss angegeben werden!"});
    TDLG_Absender taken(ctx, QString(), nullptr);
    child<QLineEdit>(taken, "Edit_Line1")->setText(QStringLiteral("\u00a0"));
    taken.Button_SaveClick();
    EXPECT_EQ(taken.result(), QDialog::Accepted);
    EXPECT_EQ(value("SELECT Line1 FROM tab_absender WHERE Absender_ID=?", {taken.AbsenderID()}), QStringLiteral("\u00a0"));
}
