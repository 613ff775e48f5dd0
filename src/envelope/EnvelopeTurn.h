#pragma once
// The words for turning, one per idea:
// - an envelope *lies* (its long side across, the picture as drawn) or *stands*; the
//   setting says which (PrintSettings::Orientation, in the settings file 0 lying, 1 standing);
// - a standing envelope's picture is *turned* a quarter clockwise after it is drawn;
// - the print job's page has an *orientation*, landscape or portrait (PageOrientation);
// - a landscape page gets a *turn* onto the sheet, left or right, the way the printer takes
//   landscape envelopes (PageTurn, from the printer's LandscapeTurn);
// - a PDF page gets a */Rotate*, which turns it only for viewing.
//
// What each setting means for all of them:
//
//   setting         picture turned   job page    turn on the sheet     PDF page /Rotate
//   0 lying         no               landscape   the printer's turn    0
//   1 standing      yes              portrait    none                  90
//   anything else   no               portrait    none                  0
//
// (The settings file only ever gives 0 or 1.) The PDF draws a standing envelope lying and
// shows the page turned by /Rotate, so each of its lines stays one line of text.

struct EnvelopeTurn
{
    bool PictureTurned;
    bool LandscapePage;   // the job's page; portrait when not
    bool TurnedOnSheet;   // the page takes the printer's turn; none when not
    int PdfRotate;        // degrees clockwise
};

// For the setting's integer (PrintSettings::Orientation).
constexpr EnvelopeTurn EnvelopeTurnOf(int orientation)
{
    constexpr EnvelopeTurn lying{false, true, true, 0};
    constexpr EnvelopeTurn standing{true, false, false, 90};
    constexpr EnvelopeTurn other{false, false, false, 0};
    return orientation == 0 ? lying : orientation == 1 ? standing : other;
}
