#include "uikit/TRibbonKeyTips.h"

#include "uikit/TRibbon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>

namespace {

// The letter marked with "&" in a caption, or a null character.
QChar mnemonicOf(const QString& caption)
{
    const QKeySequence alt = QKeySequence::mnemonic(caption);
    return alt.isEmpty() ? QChar() : QChar(char16_t(alt[0].key())).toUpper();
}

// The first letter of the caption that no other item of the same level has: the marked
// letter first, then the first letters of the words, then any letter, then a digit.
QString pickLetter(const QString& caption, const QStringList& taken)
{
    auto free = [&taken](QChar c) { return c.isLetterOrNumber() && !taken.contains(QString(c.toUpper())); };
    if (const QChar m = mnemonicOf(caption); !m.isNull() && free(m))
        return QString(m);
    QString plain = caption;
    plain.remove(u'&');
    bool wordStart = true;
    for (const QChar c : plain) {
        if (wordStart && free(c))
            return QString(c.toUpper());
        wordStart = !c.isLetterOrNumber();
    }
    for (const QChar c : plain)
        if (free(c))
            return QString(c.toUpper());
    for (char d = '1'; d <= '9'; ++d)
        if (free(QChar::fromLatin1(d)))
            return QString(QChar::fromLatin1(d));
    return {};
}

const QString kTipStyle = QStringLiteral(
    "QLabel { background: #2b3645; color: white; font-weight: bold; border: 1px solid #10161f;"
    " border-radius: 2px; padding: 0px 3px; }"
    "QLabel:disabled { background: #8c96a3; color: #e8ecf0; }");

} // namespace

TRibbonKeyTips::TRibbonKeyTips(TRibbon* ribbon) : QObject(ribbon), m_ribbon(ribbon)
{
    qApp->installEventFilter(this);
}

QString TRibbonKeyTips::tabTip(int index) const
{
    const_cast<TRibbonKeyTips*>(this)->assignTabTips();
    return m_tabTips.value(index);
}

QString TRibbonKeyTips::commandTip(QAbstractButton* button) const
{
    for (int tab = 0; tab < m_ribbon->count(); ++tab)
        if (m_ribbon->toolBar(tab)->isAncestorOf(button))
            return commandTips(tab).value(button);
    return {};
}

QList<QLabel*> TRibbonKeyTips::visibleTips() const
{
    QList<QLabel*> shown;
    for (QLabel* l : m_labels)
        if (l->isVisible())
            shown << l;
    return shown;
}

void TRibbonKeyTips::assignTabTips()
{
    m_tabTips.clear();
    for (int i = 0; i < m_ribbon->count(); ++i)
        m_tabTips << pickLetter(m_ribbon->tabBar()->tabText(i), m_tabTips);
    m_menuTip = pickLetter(m_ribbon->menuButton()->text(), m_tabTips);
}

QHash<QAbstractButton*, QString> TRibbonKeyTips::commandTips(int tab) const
{
    // The buttons in the order they stand on the tool bar; the marked letters first, so
    // that a command keeps the letter its caption shows.
    const QList<QAbstractButton*> buttons = m_ribbon->toolBar(tab)->findChildren<QAbstractButton*>();
    QHash<QAbstractButton*, QString> tips;
    QStringList taken;
    for (QAbstractButton* b : buttons) {
        const QChar m = mnemonicOf(b->text());
        if (!m.isNull() && !taken.contains(QString(m))) {
            tips.insert(b, QString(m));
            taken << QString(m);
        }
    }
    for (QAbstractButton* b : buttons) {
        if (tips.contains(b))
            continue;
        const QString letter = pickLetter(b->text(), taken);
        tips.insert(b, letter);
        taken << letter;
    }
    return tips;
}

QLabel* TRibbonKeyTips::tipLabel(const QString& letter, const QString& name, QPoint at, bool enabled)
{
    auto* label = new QLabel(letter, m_ribbon);
    label->setObjectName(QStringLiteral("KeyTip_") + letter);
    label->setStyleSheet(kTipStyle);
    label->setAlignment(Qt::AlignCenter);
    label->setAccessibleName(QStringLiteral("Taste %1: %2").arg(letter, name));
    label->setEnabled(enabled);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->adjustSize();
    label->resize(std::max(label->width(), label->height()), label->height());
    label->move(at.x() - label->width() / 2, std::min(at.y() - label->height() / 2, m_ribbon->height() - label->height()));
    label->show();
    label->raise();
    m_labels << label;
    return label;
}

void TRibbonKeyTips::clearLabels()
{
    for (QLabel* l : std::as_const(m_labels)) {
        l->hide();
        l->deleteLater();
    }
    m_labels.clear();
}

void TRibbonKeyTips::showTabs()
{
    if (m_level == Level::Off) {
        QWidget* focus = QApplication::focusWidget();
        m_focusBefore = focus && !m_ribbon->isAncestorOf(focus) ? focus : nullptr;
    }
    clearLabels();
    m_level = Level::Tabs;
    m_tab = -1;
    m_commandTips.clear();
    assignTabTips();
    QTabBar* tabs = m_ribbon->tabBar();
    for (int i = 0; i < m_ribbon->count(); ++i) {
        const QRect r = tabs->tabRect(i);
        tipLabel(m_tabTips[i], tabs->tabText(i), tabs->mapTo(m_ribbon, QPoint(r.center().x(), r.bottom())), true);
    }
    if (QToolButton* menu = m_ribbon->menuButton(); !m_menuTip.isEmpty())
        tipLabel(m_menuTip, menu->accessibleName(), menu->mapTo(m_ribbon, QPoint(menu->width() / 2, menu->height())), true);
    tabs->setFocus(Qt::ShortcutFocusReason);
}

void TRibbonKeyTips::showCommands(int tab)
{
    if (tab < 0 || tab >= m_ribbon->count())
        return;
    if (m_level == Level::Off)
        showTabs();
    clearLabels();
    m_level = Level::Commands;
    m_tab = tab;
    if (m_ribbon->currentIndex() != tab)
        m_ribbon->setCurrentIndex(tab);
    m_commandTips = commandTips(tab);
    QWidget* bar = m_ribbon->toolBar(tab);
    if (bar->layout())
        bar->layout()->activate();
    for (QAbstractButton* b : bar->findChildren<QAbstractButton*>())
        if (b->isVisibleTo(bar) && !m_commandTips.value(b).isEmpty())
            // On the lower part of the picture, where the caption begins.
            tipLabel(m_commandTips.value(b), b->accessibleName(), b->mapTo(m_ribbon, QPoint(b->width() / 2, 34)),
                     b->isEnabled());
}

void TRibbonKeyTips::hideTips()
{
    leave(false);
}

void TRibbonKeyTips::leave(bool restoreFocus)
{
    if (m_level == Level::Off)
        return;
    clearLabels();
    m_level = Level::Off;
    m_tab = -1;
    m_commandTips.clear();
    if (restoreFocus && m_focusBefore)
        m_focusBefore->setFocus(Qt::ShortcutFocusReason);
    m_focusBefore = nullptr;
}

void TRibbonKeyTips::stepTab(int delta)
{
    const int n = m_ribbon->count();
    if (n == 0)
        return;
    m_ribbon->setCurrentIndex((m_ribbon->currentIndex() + delta + n) % n);
}

bool TRibbonKeyTips::ownsWindowOf(QWidget* w) const
{
    QWidget* window = m_ribbon->window();
    if (!w || w->window() != window || !m_ribbon->isVisible())
        return false;
    // A menu or a dialog in front takes the keys itself.
    if (QApplication::activePopupWidget())
        return false;
    QWidget* modal = QApplication::activeModalWidget();
    return !modal || modal == window;
}

bool TRibbonKeyTips::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::NonClientAreaMouseButtonPress) {
        m_altAlone = false;
        if (m_level != Level::Off && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == m_ribbon->window())
            leave(false);
        return false;
    }
    if (type == QEvent::WindowDeactivate && watched == m_ribbon->window()) {
        m_altAlone = false;
        leave(false);
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    if (!watched->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(watched);
    if (!ownsWindowOf(w))
        return false;
    // A key travels from the focused control up to the window; act on it once.
    QWidget* focus = QApplication::focusWidget();
    if (focus ? w != focus : !w->isWindow())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
        // Alt with a letter that presses a button never reaches the key press.
        if (key->key() != Qt::Key_Alt)
            m_altAlone = false;
        // While the tips show, the letters are theirs, not the focused control's.
        if (m_level != Level::Off && !key->text().isEmpty()) {
            event->accept();
            return true;
        }
        return false;
    }
    if (type == QEvent::KeyRelease) {
        if (key->key() == Qt::Key_Alt && m_altAlone && !key->isAutoRepeat()) {
            m_altAlone = false;
            if (m_level == Level::Off)
                showTabs();
            else
                leave(true);
            return true;
        }
        return false;
    }
    return handleKey(w, key);
}

bool TRibbonKeyTips::handleKey(QWidget* target, QKeyEvent* key)
{
    const int k = key->key();
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (k == Qt::Key_Alt) {
        if (!key->isAutoRepeat())
            m_altAlone = (mods & ~Qt::AltModifier) == Qt::NoModifier;
        return false;
    }
    m_altAlone = false;
    if (k == Qt::Key_F10 && mods == Qt::NoModifier) {
        if (m_level == Level::Off)
            showTabs();
        else
            leave(true);
        return true;
    }
    const bool inRibbon = m_ribbon->isAncestorOf(target);
    if ((k == Qt::Key_Tab || k == Qt::Key_Backtab) && (mods & Qt::ControlModifier) && (inRibbon || m_level != Level::Off)) {
        stepTab(k == Qt::Key_Backtab || (mods & Qt::ShiftModifier) ? -1 : 1);
        if (m_level == Level::Commands)
            showCommands(m_ribbon->currentIndex());
        return true;
    }
    if (m_level == Level::Off)
        return false;

    if (k == Qt::Key_Escape) {
        if (m_level == Level::Commands)
            showTabs();
        else
            leave(true);
        return true;
    }
    if (m_level == Level::Tabs && (k == Qt::Key_Left || k == Qt::Key_Right)) {
        stepTab(k == Qt::Key_Left ? -1 : 1);
        return true;
    }
    if (m_level == Level::Tabs && (k == Qt::Key_Down || k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space)) {
        showCommands(m_ribbon->currentIndex());
        return true;
    }
    const QString letter = key->text().toUpper();
    if (letter.isEmpty() || !letter[0].isLetterOrNumber() || (mods & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    if (m_level == Level::Tabs) {
        if (const int tab = int(m_tabTips.indexOf(letter)); tab >= 0) {
            showCommands(tab);
            return true;
        }
        if (letter == m_menuTip) {
            leave(true);
            QTimer::singleShot(0, m_ribbon->menuButton(), &QToolButton::showMenu);
            return true;
        }
    } else {
        for (auto it = m_commandTips.cbegin(); it != m_commandTips.cend(); ++it) {
            if (it.value() != letter || !it.key()->isVisibleTo(m_ribbon->toolBar(m_tab)))
                continue;
            QAbstractButton* button = it.key();
            if (!button->isEnabled()) {
                QApplication::beep();
                return true;
            }
            leave(true);
            // Pressed once this key is done with: the command may open a modal window.
            QTimer::singleShot(0, button, &QAbstractButton::click);
            return true;
        }
    }
    // A letter that names nothing is not typed into the control behind the tips.
    QApplication::beep();
    return true;
}
