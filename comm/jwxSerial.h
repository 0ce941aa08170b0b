// The serial port driver: the worker thread opens the port (a tty device), waits on it and on
// its message queue at once, posts every received line to the owner and writes the request
// lines it is handed, one complete write per line.
#pragma once

#include <wx/string.h>

#include <string>

#include "comm/jwxUniCom.h"
#include "platform/SerialPort.h"

class jwxSerial : public jwxUniCom {
public:
    // portName: a device under /dev ("ttyUSB0") or a path ("/dev/pts/3").
    jwxSerial(wxEvtHandler* owner, const wxString& portName);
    // Stops a worker still running; the port closes with the driver.
    ~jwxSerial() override;

    // Line settings: parity 'N' none, 'E' even, any other letter odd; stop bits 1, else 2;
    // DTR and RTS raised, no flow control.
    void BuildDCB(uint32_t baud, char parity, int dataBits, int stopBits);
    // Worker side: opens and sets up the port with the built settings. Returns the descriptor,
    // or -1 after posting the failing step's error ("CreateFile(/dev/ttyS9): 2").
    int OpenPort(const wxString& name);
    // The log text for a failed open: "<step>(<device path>): <errno>", with a hint when the
    // user may not open the port.
    static wxString OpenErrorText(platform::SerialOpenStep step, const std::string& name, int error);
    // Worker side: 9600 baud, 8 data bits, no parity, 1 stop bit, then OpenPort. 0 or -1.
    int Open();

    const wxString& GetPortName() const { return portName; }
    const platform::SerialLineSettings& GetLineSettings() const { return dcb; }

protected:
    int ThreadMain() override;

private:
    // Reads what the port has and posts the complete lines; false after a counted error.
    bool ReceiveBytes(short pollEvents);
    // Takes every queued message; false after a counted error, *exitRequested on UNICOM_EXIT.
    bool TakeMessages(bool* exitRequested);
    // Writes one line completely and deletes it; false after a counted error.
    bool WriteLine(ByteBuffer* line);

    wxString portName;
    platform::SerialLineSettings dcb;
    platform::SerialPort port;
};
