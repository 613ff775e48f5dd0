#include "imaging/JpegCodec.h"
#include "imaging/PngCodec.h"
#include "store/RecordOperations.h"
#include "support/DialogFixture.h"
#include "tools/BannerDesigner.h"
#include "tools/BannerFile.h"
#include "tools/TDLG_Designer.h"
#include "uikit/ColorPicker.h"
#include "uikit/ColorPickerWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

namespace {

// Whether a row of the picture holds a pixel of the colour between x0 and x1.
bool rowHas(const QImage& img, int y, QRgb colour, int x0 = 0, int x1 = -1)
{
    if (x1 < 0)
        x1 = img.width();
    for (int x = x0; x < x1; ++x)
        if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
            return true;
    return false;
}

// Whether any pixel of the band's rows has the colour.
bool bandHas(const QImage& img, int top, int bottom, QRgb colour)
{
    for (int y = top; y < bottom; ++y)
        if (rowHas(img, y, colour))
            return true;
    return false;
}

const QRgb Blue = qRgb(50, 102, 204);
const QRgb White = qRgb(255, 255, 255);

} // namespace

class Designer : public DialogFixture
{
protected:
    template <typename T>
    static T* child(QWidget& d, const char* name)
    {
        T* w = d.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    static int textWidth(const TTitelData& band)
    {
        return QFontMetrics(BannerComposer::BandFont(band)).horizontalAdvance(band.Text);
    }
    // Picks a swatch through the picker's own window, as a click would.
    static void pick(ColorPicker* picker, int swatch)
    {
        picker->openWindow();
        ASSERT_TRUE(picker->window());
        QTest::mouseClick(picker->window(), Qt::LeftButton, {}, ColorPickerWindow::SwatchRect(swatch).center());
    }
};

TEST_F(Designer, TakingOverAtOnceGivesTheDefaultBanner)
{
    TDLG_Designer d(ctx, nullptr);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Designer"));
    const TTitelData& t = d.Titel();
    const TTitelData& u = d.Untertitel();
    EXPECT_EQ(t.Text, QStringLiteral("Firmenlogo"));
    EXPECT_EQ(u.Text, QStringLiteral("Beispielfirma GmbH"));

    // Character cells of 200 and 120 pixels.
    const QFont tf = BannerComposer::BandFont(t);
    EXPECT_TRUE(tf.bold() && tf.italic());
    EXPECT_NEAR(QFontMetrics(tf).height(), 200, 2);
    const QFont uf = BannerComposer::BandFont(u);
    EXPECT_FALSE(uf.bold() || uf.italic());
    EXPECT_NEAR(QFontMetrics(uf).height(), 120, 2);

    child<QPushButton>(d, "Button_OK")->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    QImage banner;
    d.LoadBannerToImage(&banner);
    d.LoadBannerToImage(nullptr);
    EXPECT_EQ(banner.format(), QImage::Format_RGB888);
    EXPECT_EQ(banner.height(), 220 + 140);
    EXPECT_EQ(banner.width(), std::max(textWidth(t), textWidth(u)) + 40);
    // Blue text on white above white text on blue.
    EXPECT_EQ(banner.pixel(0, 0), White);
    EXPECT_EQ(banner.pixel(banner.width() - 1, 219), White);
    EXPECT_EQ(banner.pixel(0, 220), Blue);
    EXPECT_EQ(banner.pixel(banner.width() - 1, 359), Blue);
    EXPECT_TRUE(bandHas(banner, 0, 220, Blue));
    EXPECT_TRUE(bandHas(banner, 220, 360, White));
    // Text starts 5 pixels in: the first columns and rows stay background.
    for (int y = 0; y < 220; ++y)
        ASSERT_FALSE(rowHas(banner, y, Blue, 0, 5)) << y;
}

TEST_F(Designer, WithoutSubtitleOnlyTheTitleBandRemainsAsWideAsBefore)
{
    TDLG_Designer d(ctx, nullptr);
    const int width = d.Banner().width();
    auto* tabs = child<QTabBar>(d, "TabsControl_Designer");
    auto* without = child<QCheckBox>(d, "CheckBox_ShowText");
    EXPECT_TRUE(without->isHidden());
    tabs->setCurrentIndex(1);
    EXPECT_FALSE(without->isHidden());
    EXPECT_FALSE(without->isChecked());
    without->click();
    EXPECT_EQ(d.Banner().height(), 220);
    EXPECT_EQ(d.Banner().width(), width);
    EXPECT_TRUE(bandHas(d.Banner(), 0, 220, Blue));
    without->click();
    EXPECT_EQ(d.Banner().height(), 360);
}

TEST_F(Designer, TabsShowTheirBandsSettings)
{
    TDLG_Designer d(ctx, nullptr);
    auto* tabs = child<QTabBar>(d, "TabsControl_Designer");
    auto* text = child<QLineEdit>(d, "Edit_Text");
    auto* size = child<QComboBox>(d, "ComboBox_FontSize");
    auto* font = child<QComboBox>(d, "ComboBox_FontName");
    auto* bold = child<QCheckBox>(d, "CheckBox_Bold");
    auto* fore = child<ColorPicker>(d, "ColorPicker_FontColor");
    auto* back = child<ColorPicker>(d, "ColorPicker_BackColor");
    EXPECT_EQ(text->maxLength(), 50);
    EXPECT_EQ(font->maxVisibleItems(), 20);
    // The default face is listed and selected, also where fontconfig draws it with its
    // metric twin (fonts-liberation is part of the program's packages).
    EXPECT_EQ(font->currentText(), QStringLiteral("Arial"));
    const struct
    {
        int tab;
        const char* text;
        const char* size;
        bool bold;
        QColor fore, back;
    } cases[] = {
        {0, "Firmenlogo", "20", true, QColor(50, 102, 204), QColor(255, 255, 255)},
        {1, "Beispielfirma GmbH", "12", false, QColor(255, 255, 255), QColor(50, 102, 204)},
        {0, "Firmenlogo", "20", true, QColor(50, 102, 204), QColor(255, 255, 255)},
    };
    const QImage before = d.Banner();
    for (const auto& c : cases) {
        tabs->setCurrentIndex(c.tab);
        EXPECT_EQ(text->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(size->currentText(), QString::fromUtf8(c.size));
        EXPECT_EQ(bold->isChecked(), c.bold);
        EXPECT_EQ(fore->color(), c.fore);
        EXPECT_EQ(back->color(), c.back);
    }
    // Showing a band neither changes nor redraws anything.
    EXPECT_EQ(d.Banner(), before);
    EXPECT_EQ(d.Untertitel().FontSize, 12);
}

TEST_F(Designer, NewTextShowsOnlyAfterARedraw)
{
    TDLG_Designer d(ctx, nullptr);
    const QImage before = d.Banner();
    auto* text = child<QLineEdit>(d, "Edit_Text");
    text->setText("Ein viel längerer Titel für die Firma");
    EXPECT_EQ(d.Titel().Text, QStringLiteral("Ein viel längerer Titel für die Firma"));
    child<QPushButton>(d, "Button_OK")->click();
    EXPECT_EQ(d.Banner(), before);

    child<QToolButton>(d, "Button_Refresh")->click();
    EXPECT_EQ(d.Banner().width(), textWidth(d.Titel()) + 40);
    EXPECT_GT(d.Banner().width(), before.width());
}

TEST_F(Designer, NarrowTitleBandTakesTheSubtitlesWidthInItsOwnColour)
{
    TDLG_Designer d(ctx, nullptr);
    child<QLineEdit>(d, "Edit_Text")->setText("A");
    // 6th swatch of row 8: FF0000.
    pick(child<ColorPicker>(d, "ColorPicker_BackColor"), 7 * 16 + 5);
    EXPECT_EQ(d.Titel().BackColor, QColor(255, 0, 0));
    const QImage b = d.Banner();
    EXPECT_EQ(b.width(), textWidth(d.Untertitel()) + 40);
    EXPECT_EQ(b.pixel(b.width() - 1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(b.pixel(b.width() - 1, 219), qRgb(255, 0, 0));
    EXPECT_EQ(b.pixel(b.width() - 1, 220), qRgb(50, 102, 204));

    // Size and text colour of the subtitle through its tab.
    child<QTabBar>(d, "TabsControl_Designer")->setCurrentIndex(1);
    auto* size = child<QComboBox>(d, "ComboBox_FontSize");
    size->setCurrentIndex(size->findText("24"));
    EXPECT_EQ(d.Untertitel().FontSize, 24);
    EXPECT_EQ(d.Banner().height(), 220 + 260);
    pick(child<ColorPicker>(d, "ColorPicker_FontColor"), 7 * 16 + 15);  // 000000
    EXPECT_EQ(d.Untertitel().FontColor, QColor(0, 0, 0));
    EXPECT_TRUE(bandHas(d.Banner(), 220, 480, qRgb(0, 0, 0)));
    EXPECT_EQ(d.Titel().FontColor, QColor(50, 102, 204));
}

TEST_F(Designer, SavingFollowsTheFiltersExtensionAndAsksBeforeOverwriting)
{
    TDLG_Designer d(ctx, nullptr);
    d.show();
    const QSize size = d.Banner().size();
    const struct
    {
        const char* chosen;
        int filter;
        const char* written;
    } cases[] = {
        {"Logo.jpeg", BannerFile::Jpg, "Logo.jpeg.jpg"},
        {"Logo.JPG", BannerFile::Jpg, "Logo.JPG"},
        {"logo.PNG", BannerFile::Png, "logo.PNG"},
        {"Banner", BannerFile::Bmp, "Banner.bmp"},
        {"Banner.png", BannerFile::Bmp, "Banner.png.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        EXPECT_TRUE(d.SaveBannerAs(dir.file(c.chosen), c.filter));
        QFile f(dir.file(c.written));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QImage back;
        if (c.filter == BannerFile::Jpg)
            back = JpegCodec::decode(bytes, true);
        else if (c.filter == BannerFile::Png)
            back = PngCodec::decode(bytes, 1 << 24);
        else
            back = QImage::fromData(bytes, "BMP");
        EXPECT_EQ(back.size(), size);
    }
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(d.isVisible());

    // An existing file: "Nein" keeps it, "Ja" writes it.
    const QString existing = dir.write("alt.png", "alter Inhalt");
    messages.answer({Msg::IdNo});
    EXPECT_FALSE(d.SaveBannerAs(existing, BannerFile::Png));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Die Datei \"" + existing + "\" existiert bereits! Überschreiben?");
    EXPECT_EQ(messages.shown[0].sound, Msg::SoundExclamation);
    EXPECT_EQ(messages.shown[0].buttons, Msg::Yes | Msg::No);
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("alter Inhalt"));
    kept.close();
    messages.answer({Msg::IdYes});
    EXPECT_TRUE(d.SaveBannerAs(existing, BannerFile::Png));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll().startsWith("\x89PNG"));

    // A folder that does not exist is reported.
    messages.shown.clear();
    EXPECT_FALSE(d.SaveBannerAs(dir.file("fehlt/Banner.jpg"), BannerFile::Jpg));
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(Designer, ShowBannerDesignerStoresTheBannerForTheSender)
{
    db().ExecSQL("INSERT INTO tab_absender (Absender_ID, Line1) VALUES ('AB00000001', 'Firma')");
    EXPECT_FALSE(ShowBannerDesigner(ctx, nullptr, QString()));

    onNextModal([](QWidget* w) { w->findChild<QPushButton*>("Button_Cancel")->click(); });
    EXPECT_FALSE(ShowBannerDesigner(ctx, nullptr, "AB00000001"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_banner"), 0);

    onNextModal([](QWidget* w) { w->findChild<QPushButton*>("Button_OK")->click(); });
    EXPECT_TRUE(ShowBannerDesigner(ctx, nullptr, "AB00000001"));
    QImage stored;
    ASSERT_TRUE(LoadBanner(db(), "AB00000001", stored));
    EXPECT_EQ(stored.height(), 360);
    EXPECT_TRUE(messages.shown.isEmpty());

    // Without a banner table nothing can be stored: the message says so.
    db().ExecSQL("DROP TABLE tab_banner");
    onNextModal([](QWidget* w) { w->findChild<QPushButton*>("Button_OK")->click(); });
    EXPECT_FALSE(ShowBannerDesigner(ctx, nullptr, "AB00000001"));
    EXPECT_EQ(messages.texts(), QStringList{"Das Banner konnte nicht gespeichert werden?"});
}

TEST_F(Designer, HelpOpensItsTopicAndEscapeCancels)
{
    TDLG_Designer d(ctx, nullptr);
    d.show();
    child<QToolButton>(d, "Button_Help")->click();
    EXPECT_EQ(help.topics, QList<int>{1013});
    QTest::keyClick(child<QLineEdit>(d, "Edit_Text"), Qt::Key_Escape);
    EXPECT_EQ(d.result(), QDialog::Rejected);
}
