#pragma once
#include <QToolButton>

// A ribbon button: a 32 x 32 picture over its caption, the caption broken into at most
// two lines. The "&" in the caption marks the Alt letter, which Qt's mnemonic handling
// presses only while the button is visible and enabled.
class TToolButton : public QToolButton
{
    Q_OBJECT
public:
    TToolButton(const QString& caption, const QIcon& icon, const QString& hint, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The caption as drawn: one or two lines, "&" kept for the underline.
    QStringList captionLines() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
};
