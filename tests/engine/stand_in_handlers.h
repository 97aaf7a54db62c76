#pragma once
#include "engine/perif_cgmi.h"
#include "engine/perif_cgmm.h"
#include "engine/perif_csq.h"
#include "engine/uniset.h"

// Handlers that report one thing the test chooses and otherwise behave as
// the real ones: an identity code without asking the device, a signal
// that is never known.

class CodedCGMI : public VPerifCGMI {
public:
    CodedCGMI(VUniSET* owner, int code) : VPerifCGMI(owner), code(code) {}
    int getCode() const override { return code; }
    int code;
};

class CodedCGMM : public VPerifCGMM {
public:
    CodedCGMM(VUniSET* owner, int code) : VPerifCGMM(owner), code(code) {}
    int getCode() const override { return code; }
    int code;
};

class NotKnownCSQ : public VPerifCSQ {
public:
    using VPerifCSQ::VPerifCSQ;
    bool isKnown() const override { return false; }
};
