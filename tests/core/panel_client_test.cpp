#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/log.h>
#include <wx/weakref.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "comm/ByteBuffer.h"
#include "comm/PanelClient.h"
#include "comm/ParamValue.h"
#include "comm/UniComEvents.h"
#include "sim/PanelSimulator.h"
#include "sim/SimLine.h"
#include "support/core_EventWait.h"
#include "support/core_FdDriver.h"
#include "support/core_Pty.h"
#include "comm/WaitIndicator.h"

namespace {

// Stands in for the wait window: counts the indications that are up.
class CountingWaits : public WaitIndicator {
public:
    std::unique_ptr<WaitIndication> ShowWait() override {
        ++shown;
        return std::make_unique<Shown>(this);
    }
    int live = 0;
    int shown = 0;

private:
    struct Shown : WaitIndication {
        explicit Shown(CountingWaits* waits) : waits(waits) { ++waits->live; }
        ~Shown() override { --waits->live; }
        CountingWaits* waits;
    };
};

CountingWaits waits;  // outlives every client of the tests

int CountWaitWindows() { return waits.live; }
bool Uncovered() { return waits.live == 0; }

// ---------------------------------------------------------------------------------------------
// ParamValue: setters keep the record's code unless given a non-zero one, and set the type.

TEST(ParamValueTest, SettersStoreTheirWidthAndType) {
    struct Case {
        const char* name;
        void (*set)(ParamValue&);
        ParamType type;
        uint32_t value;
    };
    const Case cases[] = {
        {"U8", [](ParamValue& p) { p.SetU8(0x1234); }, PARAM_U8, 0x34},
        {"S8", [](ParamValue& p) { p.SetS8(-2); }, PARAM_S8, 0xFE},
        {"U16", [](ParamValue& p) { p.SetU16(0x12345); }, PARAM_U16, 0x2345},
        {"S16", [](ParamValue& p) { p.SetS16(-10); }, PARAM_S16, 0xFFF6},
        {"U32", [](ParamValue& p) { p.SetU32(0xDEADBEEF); }, PARAM_U32, 0xDEADBEEF},
        {"S32", [](ParamValue& p) { p.SetS32(-10); }, PARAM_S32, 0xFFFFFFF6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParamValue p;
        p.code = 0x0123;
        c.set(p);
        EXPECT_EQ(p.type, c.type);
        EXPECT_EQ(p.GetU32(), c.value);
        EXPECT_EQ(p.code, 0x0123);
    }
    ParamValue p;
    p.SetU32(0x89ABCDEF);
    EXPECT_EQ(p.GetU8(), 0xEF);
    EXPECT_EQ(p.GetU16(), 0xCDEF);
}

TEST(ParamValueTest, CodeIsReplacedOnlyByNonZeroLow16Bits) {
    ParamValue p;
    p.code = 0x00CC;
    p.SetU8(1, 0);
    EXPECT_EQ(p.code, 0x00CC);
    p.SetU16(1, 0x10000);  // only the low 16 bits count, and they are 0
    EXPECT_EQ(p.code, 0x00CC);
    p.SetDecimal(DecimalValue{}, 0x10000);
    EXPECT_EQ(p.code, 0x00CC);
    p.SetU32(1, 0x100D2);
    EXPECT_EQ(p.code, 0x00D2);
    p.SetPackedDecimal(0, 0x0205);
    EXPECT_EQ(p.code, 0x0205);
}

TEST(ParamValueTest, DecimalSetters) {
    ParamValue p;
    p.SetPackedDecimal(0xFFF601);
    EXPECT_EQ(p.type, PARAM_DECIMAL);
    EXPECT_EQ(p.GetDecimal()->mantissa, -10);
    EXPECT_EQ(p.GetDecimal()->decimals, 1);
    p.SetU8(7);
    p.SetDecimal(DecimalValue{1234, 2});
    EXPECT_EQ(p.type, PARAM_DECIMAL);
    EXPECT_EQ(p.GetDecimal()->mantissa, 1234);
    EXPECT_EQ(p.GetDecimal()->decimals, 2);
}

TEST(PanelIdentTest, VersionBytes) {
    PanelIdent ident;
    ident.version = 0x010309;
    EXPECT_EQ(ident.GetVersionLetter(), 1);
    EXPECT_EQ(ident.GetVersionMajor(), 3);
    EXPECT_EQ(ident.GetVersionMinor(), 9);
}

// ---------------------------------------------------------------------------------------------
// A client without a driver sends nothing and reports every request as unanswered.

TEST(PanelClientWithoutEngineTest, RequestsFailAtOnce) {
    wxEvtHandler owner;
    {
        PanelClient client(&owner, &waits);
        EXPECT_EQ(client.GetState(), CLIENT_IDLE);
        EXPECT_EQ(client.Request("020a00", true), nullptr);
        EXPECT_EQ(client.Connect(), nullptr);
        EXPECT_EQ(client.Identify(), nullptr);
        EXPECT_EQ(client.ReadSlotConfig(), nullptr);
        EXPECT_EQ(client.EnumParam(0, true), nullptr);
        EXPECT_FALSE(client.SetMode(0));
        ParamStatus status = PARAM_OK;
        EXPECT_EQ(client.ReadParam(204, &status, true), nullptr);
        EXPECT_EQ(status, PARAM_NO_REPLY);

        ParamValue* out[2] = {reinterpret_cast<ParamValue*>(1), reinterpret_cast<ParamValue*>(1)};
        const uint16_t codes[2] = {204, 205};
        EXPECT_EQ(client.ReadParams(2, out, codes, true), PARAM_NO_REPLY);
        EXPECT_EQ(out[0], nullptr);
        EXPECT_EQ(out[1], nullptr);

        ParamValue value;
        value.SetU8(1, 204);
        EXPECT_EQ(client.WriteParam(&value, true), PARAM_NO_REPLY);
        ParamValue* values[1] = {&value};
        EXPECT_EQ(client.WriteParams(1, values, true), PARAM_NO_REPLY);
        client.Disconnect();
        client.OnDriverStopped();  // nothing to lose
        EXPECT_EQ(client.GetState(), CLIENT_IDLE);
        EXPECT_TRUE(Uncovered());
    }
}

// ---------------------------------------------------------------------------------------------
// Against the panel simulator over a real pty, through a driver thread, with an event handler
// as owner, as the main window is.

// The frame's part: routes the driver's events to the client as the main window does and
// collects the reports the client posts. Owns the client, as the main window does.
class ClientOwner : public wxEvtHandler {
public:
    struct Report {
        int id;
        int code;
        uint8_t kind;
        uint8_t command;
        std::vector<uint32_t> fields;
    };

    ClientOwner() {
        Bind(EVT_UNICOM, &ClientOwner::OnUniCom, this);
        Bind(EVT_PANEL_DATA, &ClientOwner::OnPanelData, this);
    }
    ~ClientOwner() override { delete client; }

    PanelClient* client = nullptr;
    bool opened = false;
    bool stopped = false;
    std::vector<Report> reports;
    // Run inside the handlers, nested in whatever request is waiting.
    std::function<void()> onLine;
    std::function<void()> onStopped;
    std::function<void()> onReport;

private:
    void OnUniCom(wxCommandEvent& event) {
        switch (event.GetInt()) {
            case UNICOM_EV_OPENED:
                opened = true;
                break;
            case UNICOM_EV_LINE: {
                auto* line = static_cast<ByteBuffer*>(event.GetClientData());
                if (client) client->OnLine(line);
                delete line;
                if (onLine) onLine();
                break;
            }
            case UNICOM_EV_STOPPED:
                stopped = true;
                if (client) client->OnDriverStopped();
                if (onStopped) onStopped();
                break;
            default:
                break;
        }
    }
    void OnPanelData(wxCommandEvent& event) {
        std::unique_ptr<ReplyRecord> record(static_cast<ReplyRecord*>(event.GetClientData()));
        Report report{event.GetId(), event.GetInt(), record->GetKind(), record->GetCode(), {}};
        for (int i = 0; i < record->GetFieldCount(); ++i) report.fields.push_back(record->GetUnsigned(i));
        reports.push_back(report);
        if (onReport) onReport();
    }
};

// Collects what is logged at error level.
class ErrorCapture : public wxLog {
public:
    ErrorCapture() : previous(wxLog::SetActiveTarget(this)) {}
    ~ErrorCapture() override { wxLog::SetActiveTarget(previous); }
    std::vector<std::string> errors;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& text, const wxLogRecordInfo&) override {
        if (level == wxLOG_Error) errors.push_back(text.utf8_string());
    }

private:
    wxLog* previous;
};

// Answers the next request with the given command with a reply of our own making (fields
// joined by ':'), for reply shapes the simulated panel does not produce.
class CraftedReply {
public:
    CraftedReply(sim::PanelSimulator& panel, uint8_t command, std::string fields) {
        panel.ClearRequests();
        panel.SetSilentCommands({command});
        worker = std::thread([&panel, command, fields] {
            if (!panel.WaitForRequests(1, 5000)) return;
            const sim::SimRequest request = panel.Requests().front();
            if (request.command != command) return;
            std::string text = sim::Hex(request.kind, 2) + sim::Hex(command, 2) + sim::Hex(request.sequence, 2);
            if (!fields.empty()) text += ":" + fields;
            panel.PushRawLine(text);
        });
    }
    ~CraftedReply() { worker.join(); }

private:
    std::thread worker;
};

class PanelClientTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Open());
        ASSERT_TRUE(panel.Start(pty.TakeMaster(), true));
        owner = new ClientOwner;
        frameRef = owner;
        owner->client = new PanelClient(owner, &waits);
        owner->client->SetReplyTimeoutMs(200);
        driver = new FdDriver(owner, pty.slave);
        driver->Start();
        ASSERT_TRUE(RunLoopUntil([this] { return owner->opened; }, 3000));
        owner->client->Attach(driver);
        ASSERT_EQ(Client().GetState(), CLIENT_ATTACHED);
    }

    void TearDown() override {
        if (frameRef) {
            owner->onLine = nullptr;
            owner->onStopped = nullptr;
            owner->onReport = nullptr;
            delete owner->client;
            owner->client = nullptr;
        }
        driver->Stop();
        delete driver;
        panel.Stop();
        pty.CloseSlave();
        // Deliver what is still queued (line buffers, report records), then drop the owner.
        if (wxAppConsole* app = wxAppConsole::GetInstance()) app->ProcessPendingEvents();
        delete frameRef.get();
    }

    PanelClient& Client() { return *owner->client; }
    std::vector<std::string> Sent() const { return panel.RequestTexts(); }
    void Connect() {
        delete Client().Connect();
        ASSERT_EQ(Client().GetState(), CLIENT_STARTED);
        panel.ClearRequests();
    }

    sim::PanelSimulator panel;
    RawPty pty;
    ClientOwner* owner = nullptr;
    wxWeakRef<wxEvtHandler> frameRef;
    FdDriver* driver = nullptr;
};

TEST_F(PanelClientTest, ConnectIdentifiesAndStartsReportsDisconnectStopsThem) {
    std::unique_ptr<PanelIdent> ident(Client().Connect());
    ASSERT_NE(ident, nullptr);
    EXPECT_EQ(ident->typeCode, 0x352);
    EXPECT_EQ(ident->GetVersionMajor(), 3);
    EXPECT_EQ(ident->GetVersionMinor(), 5);
    EXPECT_EQ(ident->serial, 1234);
    EXPECT_EQ(Client().GetState(), CLIENT_STARTED);
    EXPECT_EQ(panel.ModeWord(), 0xFFFF);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"020a", "0230ffff"}));
    EXPECT_TRUE(Uncovered());
    EXPECT_EQ(CountWaitWindows(), 0);

    // Only from the attached state.
    panel.ClearRequests();
    EXPECT_EQ(Client().Connect(), nullptr);

    Client().Disconnect();
    EXPECT_EQ(Client().GetState(), CLIENT_IDLE);
    EXPECT_EQ(panel.ModeWord(), 0);
    Client().Disconnect();  // only from the started state
    EXPECT_EQ(Sent(), (std::vector<std::string>{"02300000"}));
}

TEST_F(PanelClientTest, ConnectFailuresLeaveTheStateAsTheRepliesSay) {
    // No answer to the start: no identification handed out, still attached.
    panel.SetSilentCommands({0x30});
    EXPECT_EQ(Client().Connect(), nullptr);
    EXPECT_EQ(Client().GetState(), CLIENT_ATTACHED);
    {
        // A short identify reply still starts the reports, but the connect counts as failed.
        CraftedReply reply(panel, 0x0a, "0352:000305:0000");
        EXPECT_EQ(Client().Connect(), nullptr);
    }
    EXPECT_EQ(Client().GetState(), CLIENT_STARTED);

    // A stop without an answer is logged and leaves the reports started.
    panel.SetSilentCommands({0x30});
    ErrorCapture log;
    Client().Disconnect();
    EXPECT_EQ(Client().GetState(), CLIENT_STARTED);
    EXPECT_EQ(log.errors, std::vector<std::string>{"Interface stop error"});
}

TEST_F(PanelClientTest, IdentifyReadsSerialFieldsOnlyFromSixFieldReplies) {
    for (bool six : {true, false}) {
        SCOPED_TRACE(six ? "6 fields" : "4 fields");
        sim::SimIdentity identity;
        identity.version = 0x010309;
        identity.field2 = 0x77;
        identity.flags = six ? 0x20 : 0x01;
        identity.serial = 4321;
        identity.field5 = 0x55;
        identity.sixFields = six;
        panel.SetIdentity(identity);
        std::unique_ptr<PanelIdent> ident(Client().Identify());
        ASSERT_NE(ident, nullptr);
        EXPECT_EQ(ident->GetVersionLetter(), 1);
        EXPECT_EQ(ident->GetVersionMajor(), 3);
        EXPECT_EQ(ident->GetVersionMinor(), 9);
        EXPECT_EQ(ident->field2, 0x77);
        EXPECT_EQ(ident->flags, identity.flags);
        EXPECT_EQ(ident->serial, six ? 4321 : 0);
        EXPECT_EQ(ident->field5, six ? 0x55 : 0);
        EXPECT_EQ(ident->serialFieldsPresent, six ? 1 : 0);
    }
    CraftedReply reply(panel, 0x0a, "0352:000305:0000");
    EXPECT_EQ(Client().Identify(), nullptr);
}

TEST_F(PanelClientTest, ReadParamDecodesEachKind) {
    struct Case {
        uint8_t type;
        uint32_t wire;      // the value as the panel holds it
        uint32_t expected;  // ParamValue::value
    };
    const Case cases[] = {
        {PARAM_U8, 0xF6, 0xF6},
        {PARAM_S8, 0xF6, 0xFFFFFFF6},
        {PARAM_S16, 0xFFF6, 0xFFFFFFF6},   // -10 as a 32-bit pattern
        {0xC2, 0xFFF6, 0xFFF6},            // bit 6 set: not signed
        {PARAM_U16, 0x8000, 0x8000},
        {PARAM_U32, 0xDEADBEEF, 0xDEADBEEF},
        {PARAM_S32, 0xFFFFFFF6, 0xFFFFFFF6},
        {PARAM_DECIMAL, 0xFFF601, 0xFFF601},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type 0x" << std::hex << int(c.type));
        sim::SimParam param;
        param.code = 0x0300;
        param.type = c.type;
        param.value = c.wire;
        param.attribute = 0x41;
        panel.SetParam(param);
        ParamStatus status = PARAM_NO_REPLY;
        std::unique_ptr<ParamValue> value(Client().ReadParam(0x0300, &status, true));
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(status, PARAM_OK);
        EXPECT_EQ(value->code, 0x0300);
        EXPECT_EQ(value->attribute, 0x41);
        EXPECT_EQ(value->type, c.type);
        EXPECT_EQ(value->value, c.expected);
        if (c.type == PARAM_DECIMAL) {
            EXPECT_EQ(value->GetDecimal()->mantissa, -10);
            EXPECT_EQ(value->GetDecimal()->decimals, 1);
        }
    }
}

TEST_F(PanelClientTest, ReadReplyWithoutValueIsADataErrorOnlyForAttributeBits3To5Equal4) {
    const struct {
        uint8_t attribute;
        ParamStatus status;
    } cases[] = {{0x20, PARAM_DATA_ERROR}, {0x27, PARAM_DATA_ERROR}, {0xE0, PARAM_DATA_ERROR},
                 {0x28, PARAM_REJECTED}, {0x00, PARAM_REJECTED}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "attribute 0x" << std::hex << int(c.attribute));
        sim::SimParam param;
        param.code = 0x0301;
        param.type = PARAM_U16;
        param.value = 7;
        param.attribute = c.attribute;
        param.refused = true;  // answered with code, attribute and 00
        panel.SetParam(param);
        ParamStatus status = PARAM_OK;
        std::unique_ptr<ParamValue> value(Client().ReadParam(0x0301, &status, false));
        EXPECT_EQ(status, c.status);
        ASSERT_NE(value, nullptr);  // still handed out, without a value
        EXPECT_EQ(value->attribute, c.attribute);
        EXPECT_EQ(value->type, 0);
        EXPECT_EQ(value->value, 0u);
    }
}

TEST_F(PanelClientTest, ReadParamFailures) {
    ParamStatus status = PARAM_OK;
    {
        CraftedReply reply(panel, 0x86, "00cd:00:01:05");
        EXPECT_EQ(Client().ReadParam(0xcc, &status, false), nullptr);
        EXPECT_EQ(status, PARAM_CODE_MISMATCH);
    }
    {
        CraftedReply reply(panel, 0x86, "00cc");
        EXPECT_EQ(Client().ReadParam(0xcc, &status, false), nullptr);
        EXPECT_EQ(status, PARAM_BAD_REPLY);
    }
    panel.SetSilentCommands({0x86});
    panel.ClearRequests();
    EXPECT_EQ(Client().ReadParam(0xcc, &status, true), nullptr);
    EXPECT_EQ(status, PARAM_NO_REPLY);
    EXPECT_EQ(Sent().size(), 3u);  // three tries
    EXPECT_TRUE(Uncovered());
    EXPECT_EQ(Client().ReadParam(0xcc, nullptr, false), nullptr);  // no status pointer
}

TEST_F(PanelClientTest, BatchReadUnderOneWaitWindowAndFreesEverythingOnFailure) {
    // The wait window covers the whole batch: every reply arrives with the frame disabled.
    int linesWhileCovered = 0;
    owner->onLine = [&] {
        if (!Uncovered() && CountWaitWindows() == 1) ++linesWhileCovered;
    };
    const uint16_t codes[7] = {204, 205, 206, 207, 208, 209, 210};
    ParamValue* out[7] = {};
    ASSERT_EQ(Client().ReadParams(7, out, codes, true), PARAM_OK);
    EXPECT_EQ(linesWhileCovered, 7);
    EXPECT_TRUE(Uncovered());
    EXPECT_EQ(CountWaitWindows(), 0);
    for (int i = 0; i < 7; ++i) {
        ASSERT_NE(out[i], nullptr);
        EXPECT_EQ(out[i]->code, codes[i]);
        EXPECT_EQ(out[i]->GetU8(), panel.Param(codes[i])->value);
        delete out[i];
    }

    // A failure in the middle: the records read so far are freed and the batch stops there.
    panel.ClearRequests();
    const uint16_t failing[4] = {204, 205, 0x7777, 206};
    ParamValue* partial[4] = {};
    EXPECT_EQ(Client().ReadParams(4, partial, failing, true), PARAM_REJECTED);
    for (ParamValue* slot : partial) EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(Sent().size(), 3u);
}

TEST_F(PanelClientTest, WriteParamSendsEachKindAtItsWidth) {
    struct Case {
        uint16_t code;
        uint8_t simType;
        std::function<void(ParamValue&)> set;
        const char* text;
        uint32_t stored;
    };
    const Case cases[] = {
        {0x0310, PARAM_U8, [](ParamValue& p) { p.SetU8(0x1AB, 0x0310); }, "029a0310ab", 0xAB},
        {0x0311, PARAM_S16, [](ParamValue& p) { p.SetS16(-10, 0x0311); }, "029b0311fff6", 0xFFF6},
        {0x0312, PARAM_U32, [](ParamValue& p) { p.SetU32(0x89ABCDEF, 0x0312); }, "029c031289abcdef", 0x89ABCDEF},
        {0x0313, PARAM_DECIMAL, [](ParamValue& p) { p.SetDecimal(DecimalValue{-10, 1}, 0x0313); }, "029d0313fff601",
         0xFFF601},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        sim::SimParam param;
        param.code = c.code;
        param.type = c.simType;
        panel.SetParam(param);
        panel.ClearRequests();
        ParamValue value;
        c.set(value);
        EXPECT_EQ(Client().WriteParam(&value, true), PARAM_OK);
        EXPECT_EQ(Sent(), std::vector<std::string>{c.text});
        EXPECT_EQ(panel.Param(c.code)->value, c.stored);
    }
    EXPECT_TRUE(Uncovered());

    // A record read from the panel and changed with code 0 goes back under its own code.
    std::unique_ptr<ParamValue> read(Client().ReadParam(0x0310, nullptr, false));
    ASSERT_NE(read, nullptr);
    read->SetU8(0x42, 0);
    panel.ClearRequests();
    EXPECT_EQ(Client().WriteParam(read.get(), false), PARAM_OK);
    EXPECT_EQ(Sent(), std::vector<std::string>{"029a031042"});
}

TEST_F(PanelClientTest, WriteReplyStatusAndShape) {
    ParamValue value;
    value.SetU8(1, 0x00cc);
    const struct {
        const char* fields;
        ParamStatus status;
    } cases[] = {
        {"00cc:03", PARAM_REJECTED},       // bit 0 refuses
        {"00cc:02", PARAM_OK},             // other bits do not
        {"00cd:00", PARAM_CODE_MISMATCH},
        {"00cc", PARAM_BAD_REPLY},
        {"00cc:00:00", PARAM_BAD_REPLY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields);
        CraftedReply reply(panel, 0x9a, c.fields);
        EXPECT_EQ(Client().WriteParam(&value, false), c.status);
    }
    panel.SetSilentCommands({});
    sim::SimParam param;
    param.code = 0x00cc;
    param.refused = true;
    panel.SetParam(param);
    EXPECT_EQ(Client().WriteParam(&value, false), PARAM_REJECTED);
}

TEST_F(PanelClientTest, ValuesOfAnUnknownKindAreNotSent) {
    for (ParamType type : {ParamType(0), ParamType(5), ParamType(6), ParamType(0x87)}) {
        ParamValue value;
        value.code = 204;
        value.type = type;
        EXPECT_EQ(Client().WriteParam(&value, true), PARAM_BAD_TYPE);
    }
    EXPECT_EQ(Client().WriteParam(nullptr, true), PARAM_BAD_TYPE);
    // A read afterwards is the first thing the panel sees.
    delete Client().ReadParam(204, nullptr, false);
    EXPECT_EQ(Sent(), std::vector<std::string>{"028600cc"});
}

TEST_F(PanelClientTest, BatchWriteStopsAtTheFirstFailure) {
    sim::SimParam refused;
    refused.code = 0x0320;
    refused.refused = true;
    panel.SetParam(refused);
    ParamValue first, second, third;
    first.SetU8(3, 204);
    second.SetU8(4, 0x0320);
    third.SetU8(5, 205);
    ParamValue* values[3] = {&first, &second, &third};
    panel.ClearRequests();
    EXPECT_EQ(Client().WriteParams(3, values, true), PARAM_REJECTED);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"029a00cc03", "029a032004"}));
    EXPECT_EQ(panel.Param(204)->value, 3u);
    EXPECT_TRUE(Uncovered());
    EXPECT_EQ(CountWaitWindows(), 0);
}

TEST_F(PanelClientTest, ParameterListEntries) {
    sim::ParamTable table;
    table.Set({0x0400, PARAM_S16, 0, 0, false, false});
    table.SetListOrder({0x0400, sim::kEmptyListIndex});
    panel.SetTable(table);

    std::unique_ptr<ParamListEntry> present(Client().EnumParam(0, true));
    ASSERT_NE(present, nullptr);
    EXPECT_EQ(present->status, ParamListEntry::kPresent);
    EXPECT_EQ(present->index, 0);
    EXPECT_EQ(present->code, 0x0400);
    EXPECT_EQ(present->sizeClass, 2);
    EXPECT_EQ(present->isSigned, 1);

    std::unique_ptr<ParamListEntry> empty(Client().EnumParam(1, false));  // field 1 = 4
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->status, ParamListEntry::kEmpty);
    EXPECT_EQ(empty->index, 1);
    EXPECT_EQ(empty->code, 0);

    std::unique_ptr<ParamListEntry> end(Client().EnumParam(2, false));  // field 1 = 2
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end->status, ParamListEntry::kEnd);

    for (const char* fields : {"0003:01", "0003:00:0400"}) {
        SCOPED_TRACE(fields);
        CraftedReply reply(panel, 0xb4, fields);
        EXPECT_EQ(Client().EnumParam(3, false), nullptr);
    }
}

TEST_F(PanelClientTest, SlotConfigAndModeWord) {
    std::unique_ptr<PanelSlotConfig> slots(Client().ReadSlotConfig());
    ASSERT_NE(slots, nullptr);
    EXPECT_EQ(slots->slotBytesPresent, 1);
    EXPECT_EQ(std::vector<int>(slots->slotKinds, slots->slotKinds + 4), (std::vector<int>{1, 2, 0, 0}));

    sim::SimSlots one;
    one.field0 = 0xA5;
    one.twoFields = false;
    panel.SetSlots(one);
    slots.reset(Client().ReadSlotConfig());
    ASSERT_NE(slots, nullptr);
    EXPECT_EQ(slots->field0, 0xA5);
    EXPECT_EQ(slots->slotBytesPresent, 0);
    EXPECT_EQ(std::vector<int>(slots->slotKinds, slots->slotKinds + 4), (std::vector<int>{0, 0, 0, 0}));
    {
        CraftedReply reply(panel, 0xa3, "");
        EXPECT_EQ(Client().ReadSlotConfig(), nullptr);
    }

    panel.SetSilentCommands({});
    EXPECT_TRUE(Client().SetMode(0x11234));
    EXPECT_EQ(panel.ModeWord(), 0x1234);
    EXPECT_EQ(Client().GetState(), CLIENT_ATTACHED);  // the mode word does not change the state
    panel.SetSilentCommands({0x30});
    EXPECT_FALSE(Client().SetMode(0));
}

TEST_F(PanelClientTest, PushedReportsReachTheOwner) {
    Connect();
    ASSERT_TRUE(panel.PushReport(sim::RelayReport(0x15)));
    ASSERT_TRUE(panel.PushReport(sim::ClockReport(31622400)));
    ASSERT_TRUE(RunLoopUntil([this] { return owner->reports.size() == 2; }, 3000));
    const ClientOwner::Report& relays = owner->reports[0];
    EXPECT_EQ(relays.id, -1);
    EXPECT_EQ(relays.code, PANEL_EV_REPORT);
    EXPECT_EQ(relays.kind, 2);
    EXPECT_EQ(relays.command, 0x97);
    EXPECT_EQ(relays.fields, std::vector<uint32_t>{0x15});
    EXPECT_EQ(owner->reports[1].kind, 3);
    EXPECT_EQ(owner->reports[1].fields.back(), 31622400u);

    // Detached, the lines are ignored.
    Client().Detach();
    panel.PushRawLine("029700:15");
    panel.PushRawLine("029700:16");
    RunLoopFor(100);
    EXPECT_EQ(owner->reports.size(), 2u);
}

// The driver dies in the middle of a batch read under the wait window: the wait window goes
// at once, so that nothing covers the owner while it tells the user.
TEST_F(PanelClientTest, DriverLostDuringBatchRead) {
    panel.SetHangUpAfterRequests(2);
    bool deferredWhileRunning = false;
    bool uncoveredWhenLost = false;
    owner->onStopped = [&] {
        deferredWhileRunning = Client().IsDeleteDeferred() && Client().IsBusy() && !Client().HasEngine();
        uncoveredWhenLost = Uncovered() && CountWaitWindows() == 0;
    };
    const uint16_t codes[7] = {204, 205, 206, 207, 208, 209, 210};
    ParamValue* out[7] = {};
    EXPECT_EQ(Client().ReadParams(7, out, codes, true), PARAM_NO_REPLY);
    EXPECT_TRUE(owner->stopped);
    EXPECT_TRUE(deferredWhileRunning);
    EXPECT_TRUE(uncoveredWhenLost);
    for (ParamValue* slot : out) EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(Sent().size(), 3u);  // no retry after the loss
    EXPECT_TRUE(Uncovered());
    EXPECT_EQ(CountWaitWindows(), 0);
    EXPECT_FALSE(Client().HasEngine());
    EXPECT_FALSE(Client().IsDeleteDeferred());
    EXPECT_FALSE(Client().IsBusy());
    EXPECT_EQ(Client().GetState(), CLIENT_DRIVER_LOST);

    // Later requests fail at once; a new attach brings the client back.
    ParamStatus status = PARAM_OK;
    EXPECT_EQ(Client().ReadParam(204, &status, true), nullptr);
    EXPECT_EQ(status, PARAM_NO_REPLY);
    Client().Attach(driver);
    EXPECT_EQ(Client().GetState(), CLIENT_ATTACHED);
}

// A request started from a handler that runs nested inside a waiting request ends before the
// outer one: the outer engine must stay alive when the driver is lost after it.
TEST_F(PanelClientTest, DriverLostAfterANestedRequestReturned) {
    Connect();
    panel.SetSilentCommands({0x86});
    ParamStatus nestedStatus = PARAM_OK;
    owner->onReport = [&] {
        owner->onReport = nullptr;
        delete Client().ReadParam(205, &nestedStatus, false);
        panel.HangUpNow();
    };
    ASSERT_TRUE(panel.PushReport(sim::RelayReport(1)));
    ParamStatus status = PARAM_OK;
    EXPECT_EQ(Client().ReadParam(204, &status, true), nullptr);
    EXPECT_EQ(status, PARAM_NO_REPLY);
    EXPECT_EQ(nestedStatus, PARAM_NO_REPLY);
    EXPECT_TRUE(owner->stopped);
    EXPECT_EQ(Client().GetState(), CLIENT_DRIVER_LOST);
    EXPECT_FALSE(Client().IsDeleteDeferred());
    EXPECT_TRUE(Uncovered());
}

// Detach and attach again from inside a running request: the running one gives up at once and
// the new engine serves the next request.
TEST_F(PanelClientTest, ReattachUnderARunningRequest) {
    Client().SetReplyTimeoutMs(1500);
    panel.SetSilentCommands({0x86});
    bool reattached = false;
    owner->onLine = [&] {
        if (reattached) return;
        reattached = true;
        Client().Detach();
        Client().Attach(driver);
    };
    panel.PushRawLine("029700:01");  // arrives while the read waits
    EXPECT_EQ(Client().ReadParam(204, nullptr, true), nullptr);
    EXPECT_TRUE(reattached);
    // Given up at once, not tried again (the request may still be on its way to the panel).
    EXPECT_TRUE(panel.WaitForRequests(1, 1000));
    EXPECT_EQ(Sent().size(), 1u);
    EXPECT_FALSE(Client().IsDeleteDeferred());
    EXPECT_EQ(Client().GetState(), CLIENT_ATTACHED);
    EXPECT_TRUE(Uncovered());

    panel.SetSilentCommands({});
    ParamStatus status = PARAM_NO_REPLY;
    delete Client().ReadParam(204, &status, false);
    EXPECT_EQ(status, PARAM_OK);
}

// The main window closes when its driver dies, and may be destroyed while the request that
// saw the loss still runs; the client goes with it.
TEST_F(PanelClientTest, ClientDestroyedUnderARunningRequest) {
    panel.SetHangUpAfterRequests(1);
    PanelClient* client = owner->client;
    owner->onStopped = [&] {
        delete owner->client;
        owner->client = nullptr;
    };
    const uint16_t codes[3] = {204, 205, 206};
    ParamValue* out[3] = {};
    EXPECT_EQ(client->ReadParams(3, out, codes, true), PARAM_NO_REPLY);
    for (ParamValue* slot : out) EXPECT_EQ(slot, nullptr);
    EXPECT_TRUE(Uncovered());
    EXPECT_EQ(CountWaitWindows(), 0);
}

TEST_F(PanelClientTest, OwnerDestroyedUnderARunningRequest) {
    panel.SetHangUpAfterRequests(0);
    PanelClient* client = owner->client;
    owner->onStopped = [&] { wxAppConsole::GetInstance()->ScheduleForDestruction(owner); };
    std::unique_ptr<PanelIdent> ident(client->Connect());
    EXPECT_EQ(ident, nullptr);
    // The wait yields to idle time, which destroys the owner, and the client with it, before
    // the request returns.
    EXPECT_FALSE(frameRef);
}

}  // namespace
