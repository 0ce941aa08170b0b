// Received bytes as a driver delivers them: cut into lines, handed to the request engine, and
// every record that comes back read through all its accessors, in range and out of it. The
// same bytes also go straight into the parser and the checksum.
#include <wx/init.h>
#include <wx/log.h>

#include <cstddef>
#include <cstdint>

#include "comm/LineAssembler.h"
#include "comm/PanelProtocol.h"
#include "comm/ReplyRecord.h"

namespace {

// Formats every record like a real target would, then forgets it.
class DiscardingLog : public wxLog {
protected:
    void DoLogTextAtLevel(wxLogLevel, const wxString& text) override { (void)text.length(); }
};

volatile double sink;

void ReadAll(const ReplyRecord& record) {
    double total = record.GetKind() + record.GetCode() + record.GetSequence();
    for (int i = -1; i <= ReplyRecord::kMaxFields + 1; ++i) {
        const char* text = record.GetFieldText(i);
        while (*text) total += *text++;
        total += record.GetUnsigned(i);
        total += record.GetSigned(i);
        total += record.GetFloat(i);
        total += record.GetDecimal(i);
    }
    sink = total;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static wxInitializer init;
    delete wxLog::SetActiveTarget(new DiscardingLog);
    wxLog::SetVerbose(true);  // the "RX:" log formats every line, so it is fuzzed too
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PanelProtocol engine(nullptr, nullptr);
    LineAssembler lines;
    lines.Append(data, static_cast<int32_t>(size), [&engine](const uint8_t* line, int32_t length) {
        ByteBuffer buffer(length);
        buffer.CopyIn(line, length);
        if (ReplyRecord* record = engine.OnLine(&buffer)) {
            ReadAll(*record);
            delete record;
        }
    });

    const char* text = reinterpret_cast<const char*>(data);
    ReplyRecord direct(text, static_cast<int32_t>(size));
    ReadAll(direct);
    sink = PanelProtocol::Checksum(text, size);
    return 0;
}
