#pragma once
#include <cstdint>
#include <string>

// The enumerations and small records of the SMS model, in the order their
// values are stored and compared.

// A message's state in the device (or in the program). The two received
// states are the direction service centre to phone; every other state
// counts as the sending direction.
enum VTixSMS_textSMSstates : uint8_t {
    VTixSMS_state_Unknown,
    VTixSMS_state_ReadFailed,
    VTixSMS_stateSIMRecvUnread,
    VTixSMS_stateSIMRecvRead,
    VTixSMS_stateSIMUnsent,
    VTixSMS_stateBeingSent,
    VTixSMS_stateBeingStored,
    VTixSMS_stateSendFailed,
    VTixSMS_stateSIMSent,
    VTixSMS_state_Deleting,
};
constexpr int VTixSMS_stateCount = 10;

// How a PDU begins: with the TPDU, with the SMS-centre address (PDU mode
// of the device), or with a single 0 octet (the device's default centre).
enum VTixSMS_PDUFormat : uint8_t {
    VTixSMS_pduFmtWoutSCA,
    VTixSMS_pduFmtWithSCA,
    VTixSMS_pduFmtEmptySCA,
};

enum VTixSMS_MessageType : uint8_t {
    VTixSMS_smsType_Unknown,
    VTixSMS_smsTypeDELIVER,
    VTixSMS_smsTypeDELIVER_REPORT,
    VTixSMS_smsTypeSUBMIT,
    VTixSMS_smsTypeSUBMIT_REPORT,
    VTixSMS_smsTypeSTATUS_REPORT,
    VTixSMS_smsTypeCOMMAND,
    VTixSMS_smsTypeRESERVED,
    VTixSMS_smsTypeCellInfo,
};

enum VTixSMS_Protocol : uint8_t {
    VTixSMS_protocol_Unknown,
    VTixSMS_protocolSMS,
};

// A standard message, or a cell-broadcast page with or without a length
// octet in front.
enum VTixSMS_smsKind : uint8_t {
    VTixSMS_smsKindStandard,
    VTixSMS_smsKindCBMwithlen,
    VTixSMS_smsKindCBMnolen,
};

enum VTixSMS_Encoding : uint8_t {
    VTixSMS_encoding_Unknown,
    VTixSMS_encoding7,
    VTixSMS_encoding8,
    VTixSMS_encoding16,
};

enum VTixSMSOperation : uint8_t {
    VTixSMSOperation_NoOp,
    VTixSMSOperation_Write,
    VTixSMSOperation_Send,
    VTixSMSOperation_Prepare,
    VTixSMSOperation_Sent,
    VTixSMSOperation_SendFailed,
};

// One element of the user-data header. A first data octet of 255 with no
// rest is an element without data (written with length 0).
struct VTixSMSRecord_UserData {
    uint8_t IEI = 255;
    uint8_t First = 0;
    std::string Rest;

    bool operator==(const VTixSMSRecord_UserData&) const = default;
};

// One wanted operation: Write to a storage, Send to a number (an empty
// number: the message's own).
struct VTixSMSRecord_WantSendWrite {
    VTixSMSOperation Operation = VTixSMSOperation_NoOp;
    std::string Destination;
};

// First-octet bits of the TPDU.
constexpr uint8_t VTixSMS_bitMTI = 0x03;   // message type indicator
constexpr uint8_t VTixSMS_bitRD = 0x04;    // TP-RD / TP-MMS
constexpr uint8_t VTixSMS_bitVPF = 0x18;   // validity-period format
constexpr uint8_t VTixSMS_bitSRR = 0x20;   // TP-SRR / TP-SRI
constexpr uint8_t VTixSMS_bitUDHI = 0x40;  // user-data header present
constexpr uint8_t VTixSMS_bitRP = 0x80;    // reply path
