#pragma once

// Shows the hourglass while it lives and restores the normal cursor on every way out,
// an exception included.
class TBusyCursor
{
public:
    TBusyCursor();
    ~TBusyCursor();
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};
