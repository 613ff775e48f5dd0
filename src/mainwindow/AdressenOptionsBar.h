#pragma once
#include "mainwindow/AdressenQuery.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class TSnapLine;

// The options bar at the right edge of the address list, Panel_Adressen_Ansicht: view
// mode, search text and line, sort, and "Name ausblenden", with the snap line "Optionen"
// that collapses it.
class AdressenOptionsBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 192;
    explicit AdressenOptionsBar(QWidget* parent = nullptr);

    // The filter as the controls show it, without the group.
    AdressenFilter Filter() const;
    bool NameHidden() const;
    void SetNameHidden(bool hidden);
    bool IsCollapsed() const;
    // Collapses or opens the bar as a click on the snap line does.
    void SetCollapsed(bool collapsed);

    TSnapLine* SnapLine() const { return m_snap; }
    QComboBox* Ansicht() const { return m_ansicht; }
    QLineEdit* Suche() const { return m_suche; }
    QComboBox* Spalte() const { return m_spalte; }
    QComboBox* Sort() const { return m_sort; }
    QCheckBox* SpalteName() const { return m_name; }

signals:
    // Any change of view mode, search text, search line or sort.
    void filterChanged();
    void nameHiddenChanged(bool hidden);

private:
    TSnapLine* m_snap;
    QComboBox* m_ansicht;
    QLineEdit* m_suche;
    QComboBox* m_spalte;
    QComboBox* m_sort;
    QCheckBox* m_name;
};
