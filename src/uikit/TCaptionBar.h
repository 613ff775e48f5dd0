#pragma once
#include <QColor>
#include <QLabel>

// A bar with a vertical gradient and one line of text: the captions over the lists
// ("Absender (3)") and the status line at the window's foot.
class TCaptionBar : public QLabel
{
    Q_OBJECT
public:
    explicit TCaptionBar(const QString& text = QString(), QWidget* parent = nullptr);
    void setGradient(const QColor& top, const QColor& bottom);
    void setBold(bool bold);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_top;
    QColor m_bottom;
};
