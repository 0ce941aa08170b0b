// The panel client's wait indication for the windows: the wait window "trwa komunikacja" over
// a parent window, which it disables while shown.
#pragma once

#include "comm/WaitIndicator.h"

class wxWindow;

class WaitWindowIndicator : public WaitIndicator {
public:
    explicit WaitWindowIndicator(wxWindow* parent) : parent(parent) {}
    std::unique_ptr<WaitIndication> ShowWait() override;

private:
    wxWindow* parent;
};
