// A minimal driver for tests: its worker serves a descriptor it is handed (one end of a
// socketpair, or the slave side of a pty) with the shared worker loop: received bytes become
// UNICOM_EV_LINE events, UNICOM_TXDATA buffers are written, 1500 ms of silence posts
// UNICOM_EV_IDLE, and end of file or a read error (EIO on a hung-up pty) posts an error and
// UNICOM_EV_STOPPED and ends the worker.
#pragma once

#include "comm/jwxUniCom.h"

class FdDriver : public jwxUniCom {
public:
    // The descriptor stays the caller's: close it after Stop().
    FdDriver(wxEvtHandler* owner, int fd);
    ~FdDriver() override;

protected:
    int ThreadMain() override;

private:
    bool WriteAll(const ByteBuffer& buffer);
    // Worker end after a device error: the error text (with errno), then UNICOM_EV_STOPPED.
    int Fail(const wxString& what);
    int Stopped();

    int fd;
};
