#pragma once
#include "envelope/SeriendruckInput.h"
#include "labels/LabelLayout.h"

#include <QImage>
#include <QList>
#include <QString>

#include <optional>

struct AppContext;

// What goes on the labels: the group's addresses as the series takes them, the selected
// address, or the sender (return-address labels).
enum class LabelContent { Gruppe = 0, Adresse = 1, Absender = 2 };

struct LabelRequest
{
    LabelContent Content = LabelContent::Gruppe;
    SeriendruckInput Input;  // sender, group, search, column and sort of the address list
    QString AdresseID;
    int Copies = 1;          // for the selected address and the sender
};

struct LabelTexts
{
    QList<LabelText> Texts;
    QImage Banner;  // the sender's, for return-address labels when the settings print it
};

// The message for a selection the request needs but lacks; empty when it has all.
QString LabelSelectionMissing(const LabelRequest& request, bool swap);

// Reads the labels' texts. Each address label carries the block the envelope puts in the
// address's place (with the return-envelope swap: the sender). Nothing when a record it
// needs does not exist.
std::optional<LabelTexts> ReadLabelTexts(AppContext& ctx, const LabelRequest& request);
