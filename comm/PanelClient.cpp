#include "comm/PanelClient.h"

#include <wx/log.h>

#include <cstdio>

#include "comm/ByteBuffer.h"
#include "comm/PanelProtocol.h"
#include "comm/WaitIndicator.h"

namespace {
// Request texts; characters 4-5 are the sequence slot that the engine fills.
constexpr const char* kIdentifyRequest = "020a00";
constexpr const char* kReadSlotsRequest = "02a300";

constexpr int kRequestTextSize = 32;

// The request that sets the interface mode word (which reports the panel pushes).
struct ModeRequest {
    explicit ModeRequest(uint32_t mode) {
        std::snprintf(text, sizeof text, "023000%04x", static_cast<unsigned>(mode & 0xFFFF));
    }
    char text[kRequestTextSize];
};

// A PanelIdent from an identify reply with at least 4 fields, else null.
PanelIdent* IdentFromReply(const ReplyRecord& reply) {
    const int fields = reply.GetFieldCount();
    if (fields < 4) return nullptr;
    auto* ident = new PanelIdent;
    ident->typeCode = static_cast<uint16_t>(reply.GetUnsigned(0));
    ident->version = reply.GetUnsigned(1);
    ident->field2 = static_cast<uint16_t>(reply.GetUnsigned(2));
    ident->flags = static_cast<uint16_t>(reply.GetUnsigned(3));
    if (fields == 6) {
        ident->serial = static_cast<uint16_t>(reply.GetUnsigned(4));
        ident->field5 = static_cast<uint16_t>(reply.GetUnsigned(5));
        ident->serialFieldsPresent = 1;
    }
    return ident;
}
}  // namespace

// One public operation in progress. Operations nest on the stack; when the client is destroyed
// while any runs, each is told so, and the outermost one takes over the engines and deletes
// them when it ends, after every transaction that used them has returned.
class PanelClient::Operation {
public:
    explicit Operation(PanelClient* client) : client(client), outer(client->operations) {
        client->operations = this;
    }
    ~Operation() {
        wait.reset();
        if (!clientGone) client->operations = outer;
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    bool ClientGone() const { return clientGone; }

    // The indication shown for this operation; taken down when the operation ends or when the
    // driver stops.
    std::unique_ptr<WaitIndication> wait;

private:
    friend class PanelClient;
    PanelClient* client;
    Operation* outer;
    bool clientGone = false;
    std::vector<std::unique_ptr<PanelProtocol>> orphans;
};

PanelClient::PanelClient(wxEvtHandler* owner, WaitIndicator* waits) : owner(owner), waits(waits) {}

PanelClient::~PanelClient() {
    if (engine) engine->Abort();
    if (!operations) return;  // nothing runs: the engines go with the members
    Operation* outermost = operations;
    for (Operation* op = operations; op; op = op->outer) {
        op->clientGone = true;
        outermost = op;
    }
    if (engine) outermost->orphans.push_back(std::move(engine));
    for (auto& old : retired) outermost->orphans.push_back(std::move(old));
    retired.clear();
}

void PanelClient::DropEngine() {
    if (!engine) return;
    if (busy > 0) {
        engine->Abort();
        retired.push_back(std::move(engine));
    } else {
        engine.reset();
    }
}

void PanelClient::Attach(jwxUniCom* newDriver) {
    DropEngine();
    driver = newDriver;
    engine = std::make_unique<PanelProtocol>(owner, driver);
    if (replyTimeoutMs > 0) engine->SetReplyTimeoutMs(replyTimeoutMs);
    state = CLIENT_ATTACHED;
}

void PanelClient::SetReplyTimeoutMs(int ms) {
    replyTimeoutMs = ms;
    if (engine && ms > 0) engine->SetReplyTimeoutMs(ms);
}

void PanelClient::Detach() {
    DropEngine();
    driver = nullptr;
    state = CLIENT_IDLE;
}

void PanelClient::OnDriverStopped() {
    // Nothing is awaited any more: no wait indication stays up under what the owner shows next.
    for (Operation* op = operations; op; op = op->outer) op->wait.reset();
    if (!engine) return;
    DropEngine();
    state = CLIENT_DRIVER_LOST;
}

void PanelClient::OnLine(const ByteBuffer* line) {
    if (!engine || !line) return;
    if (ReplyRecord* report = engine->OnLine(line)) PostReport(report);
}

void PanelClient::PostReport(ReplyRecord* record) {
    if (!owner) {
        delete record;
        return;
    }
    wxCommandEvent event(EVT_PANEL_DATA, wxID_ANY);
    event.SetInt(PANEL_EV_REPORT);
    event.SetClientData(record);
    wxQueueEvent(owner, event.Clone());
}

std::unique_ptr<WaitIndication> PanelClient::ShowWait() { return waits ? waits->ShowWait() : nullptr; }

ReplyRecord* PanelClient::Request(const char* text, bool wait) {
    if (!engine) return nullptr;
    Operation op(this);
    PanelProtocol* running = engine.get();
    if (wait) op.wait = ShowWait();
    ++busy;
    ReplyRecord* reply = running->Transact(text);
    if (op.ClientGone()) {
        delete reply;
        return nullptr;
    }
    --busy;
    op.wait.reset();
    if (busy == 0) retired.clear();
    return reply;
}

PanelIdent* PanelClient::Connect() {
    if (!engine || state != CLIENT_ATTACHED) return nullptr;
    Operation op(this);
    std::unique_ptr<ReplyRecord> identify(Request(kIdentifyRequest, true));
    if (!identify || op.ClientGone()) return nullptr;
    std::unique_ptr<PanelIdent> ident(IdentFromReply(*identify));
    identify.reset();

    std::unique_ptr<ReplyRecord> started(Request(ModeRequest(kReportsOn).text, true));
    if (!started || op.ClientGone()) return nullptr;
    state = CLIENT_STARTED;
    // A short identify reply still starts the reports, and the caller sees a failed connect.
    return ident.release();
}

void PanelClient::Disconnect() {
    if (!engine || state != CLIENT_STARTED) return;
    Operation op(this);
    std::unique_ptr<ReplyRecord> reply(Request(ModeRequest(kReportsOff).text, true));
    if (op.ClientGone()) return;
    if (reply) {
        state = CLIENT_IDLE;
    } else {
        wxLogError(wxASCII_STR("Interface stop error"));
    }
}

bool PanelClient::SetMode(uint32_t mode) {
    std::unique_ptr<ReplyRecord> reply(Request(ModeRequest(mode).text, true));
    return reply != nullptr;
}

PanelIdent* PanelClient::Identify() {
    std::unique_ptr<ReplyRecord> reply(Request(kIdentifyRequest, true));
    return reply ? IdentFromReply(*reply) : nullptr;
}

PanelSlotConfig* PanelClient::ReadSlotConfig() {
    std::unique_ptr<ReplyRecord> reply(Request(kReadSlotsRequest, true));
    if (!reply || reply->GetFieldCount() == 0) return nullptr;
    auto* slots = new PanelSlotConfig;
    slots->field0 = static_cast<uint8_t>(reply->GetUnsigned(0) & 0xFF);
    if (reply->GetFieldCount() == 2) {
        const uint32_t kinds = reply->GetUnsigned(1);
        for (int i = 0; i < 4; ++i) slots->slotKinds[i] = static_cast<uint8_t>((kinds >> (8 * i)) & 0xFF);
        slots->slotBytesPresent = 1;
    }
    return slots;
}

ParamListEntry* PanelClient::EnumParam(uint16_t index, bool wait) {
    char text[kRequestTextSize];
    std::snprintf(text, sizeof text, "02b400%04x", static_cast<unsigned>(index));
    std::unique_ptr<ReplyRecord> reply(Request(text, wait));
    if (!reply) return nullptr;
    if (reply->GetFieldCount() == 4) {
        auto* entry = new ParamListEntry;
        entry->index = index;
        entry->code = static_cast<uint16_t>(reply->GetUnsigned(2));
        const uint32_t form = reply->GetUnsigned(3);
        entry->sizeClass = static_cast<uint8_t>(form & 0x0F);
        entry->isSigned = static_cast<uint8_t>((form >> 7) & 1);
        entry->status = ParamListEntry::kPresent;
        return entry;
    }
    if (reply->GetFieldCount() == 2) {
        const uint32_t marker = reply->GetUnsigned(1) & 0xFF;
        if ((marker & 6) == 0) return nullptr;
        auto* entry = new ParamListEntry;
        entry->index = index;
        entry->status = (marker & 4) ? ParamListEntry::kEmpty : ParamListEntry::kEnd;
        return entry;
    }
    return nullptr;
}

ParamValue* PanelClient::ReadParam(uint16_t code, ParamStatus* status, bool wait) {
    ParamStatus result = PARAM_OK;
    ParamValue* value = nullptr;
    char text[kRequestTextSize];
    std::snprintf(text, sizeof text, "028600%04x", static_cast<unsigned>(code));
    std::unique_ptr<ReplyRecord> reply(Request(text, wait));
    if (!reply) {
        result = PARAM_NO_REPLY;
    } else if (reply->GetFieldCount() < 2) {
        result = PARAM_BAD_REPLY;
    } else if ((reply->GetUnsigned(0) & 0xFFFF) != code) {
        result = PARAM_CODE_MISMATCH;
    } else {
        value = new ParamValue;
        value->code = static_cast<uint16_t>(reply->GetUnsigned(0));
        value->attribute = static_cast<uint8_t>(reply->GetUnsigned(1) & 0xFF);
        if (reply->GetFieldCount() == 4) {
            value->type = static_cast<ParamType>(reply->GetUnsigned(2) & 0xFF);
            if (ParamKind(value->type) == PARAM_DECIMAL) {
                value->value = reply->GetUnsigned(3);
                value->decimal = decimal_from_packed(value->value);
            } else if (IsSignedParamType(value->type)) {
                value->value = static_cast<uint32_t>(reply->GetSigned(3));
            } else {
                value->value = reply->GetUnsigned(3);
            }
        } else {
            result = (value->attribute & 0x38) == 0x20 ? PARAM_DATA_ERROR : PARAM_REJECTED;
        }
    }
    if (status) *status = result;
    return value;
}

ParamStatus PanelClient::ReadParams(int n, ParamValue** out, const uint16_t* codes, bool wait) {
    if (n <= 0) return PARAM_OK;
    // Every slot starts empty, so that a failed batch leaves nothing the caller might free.
    for (int i = 0; i < n; ++i) out[i] = nullptr;
    if (!engine) return PARAM_NO_REPLY;

    Operation op(this);
    if (wait) op.wait = ShowWait();
    ParamStatus result = PARAM_OK;
    for (int i = 0; i < n; ++i) {
        ParamStatus status = PARAM_NO_REPLY;
        out[i] = ReadParam(codes[i], &status, false);
        if (status == PARAM_OK && op.ClientGone()) status = PARAM_NO_REPLY;
        if (status != PARAM_OK) {
            for (int j = 0; j <= i; ++j) {
                delete out[j];
                out[j] = nullptr;
            }
            result = status;
            break;
        }
    }
    op.wait.reset();
    return result;
}

ParamStatus PanelClient::WriteParam(const ParamValue* value, bool wait) {
    if (!value) return PARAM_BAD_TYPE;
    char text[kRequestTextSize];
    const unsigned code = value->code;
    switch (ParamKind(value->type)) {
        case PARAM_U8:
            std::snprintf(text, sizeof text, "029a00%04x%02x", code, static_cast<unsigned>(value->value & 0xFF));
            break;
        case PARAM_U16:
            std::snprintf(text, sizeof text, "029b00%04x%04x", code, static_cast<unsigned>(value->value & 0xFFFF));
            break;
        case PARAM_U32:
            std::snprintf(text, sizeof text, "029c00%04x%08x", code, static_cast<unsigned>(value->value));
            break;
        case PARAM_DECIMAL:
            std::snprintf(text, sizeof text, "029d00%04x%04x%02x", code,
                          static_cast<unsigned>(static_cast<uint16_t>(value->decimal.mantissa)),
                          static_cast<unsigned>(value->decimal.decimals));
            break;
        default:
            return PARAM_BAD_TYPE;
    }
    std::unique_ptr<ReplyRecord> reply(Request(text, wait));
    if (!reply) return PARAM_NO_REPLY;
    if (reply->GetFieldCount() != 2) return PARAM_BAD_REPLY;
    if ((reply->GetUnsigned(0) & 0xFFFF) != code) return PARAM_CODE_MISMATCH;
    return (reply->GetUnsigned(1) & 1) ? PARAM_REJECTED : PARAM_OK;
}

ParamStatus PanelClient::WriteParams(int n, ParamValue* const* values, bool wait) {
    if (n <= 0) return PARAM_OK;
    Operation op(this);
    if (wait && engine) op.wait = ShowWait();
    ParamStatus result = PARAM_OK;
    for (int i = 0; i < n && result == PARAM_OK; ++i) {
        result = WriteParam(values[i], false);
        if (result == PARAM_OK && op.ClientGone()) result = PARAM_NO_REPLY;
    }
    op.wait.reset();
    return result;
}
