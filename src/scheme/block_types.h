#pragma once
// The block type numbers of the catalog, by name; the comment is the type's
// code. Numbers without a name (7, 8, 14..16, 22..24, 32, 39, 40) are the
// catalog's "NO_" types that only keep the numbering.
#include <cstdint>

namespace ostrel {

enum BlockType : int16_t {
    kNoBlockType = 0,
    kAnalogInput = 1,      // A_I
    kAnalogOutput = 2,     // A_O
    kDiscreteInput = 3,    // D_I
    kDiscreteOutput = 4,   // D_O
    kRs485 = 5,            // RS4
    kSystem = 6,           // SYS
    kMultiplier = 9,       // MUL
    kSum = 10,             // SUM
    kDivider = 11,         // DIV
    kSquareRoot = 12,      // SQR
    kAbsolute = 13,        // ABS
    kAnd = 17,             // AND
    kOr = 18,              // OR_
    kXor = 19,             // XOR
    kTrigger = 20,         // TRI
    kRegister = 21,        // REG
    kSetpointBlock = 25,   // S_P
    kPid = 26,             // PID
    kMultiplexer = 27,     // MUX
    kProgramSetter = 28,   // PRO
    kPanel = 29,           // PAN
    kRealTimeClock = 30,   // RTC
    kCode = 31,            // COD
    kMinMax = 33,          // MIN
    kLimiter = 34,         // LIM
    kComparator = 35,      // CMP
    kTimer = 36,           // TIM
    kCounter = 37,         // COU
    kOscillator = 38,      // OSC
    kGraph = 41,           // GRA
    kJournal = 42,         // JUR
    kScadaPage = 43,       // SCA
    kLogic = 44,           // LOG
    kAlgorithm = 45,       // ALG
    kUniversal = 46,       // UNI
    kMonitor = 47,         // MON
    kReport = 48,          // REP
    kInverter = 49,        // INV
    kTouch = 50,           // TOU
};

} // namespace ostrel
