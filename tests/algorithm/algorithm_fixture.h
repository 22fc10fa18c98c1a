#pragma once
// A workspace with one algorithm block (block 3) placed in the middle of the
// stores, so that writes outside its fields and setpoints can be detected.
#include "algorithm/step_program.h"
#include "workspace/workspace.h"

#include <memory>

namespace ostrel::testing {

constexpr int kAlgBlock = 3;
constexpr int kTextBase = 1000;
constexpr int kParamBase = 50;

inline std::unique_ptr<Workspace> makeAlgorithmWorkspace()
{
    auto ws = std::make_unique<Workspace>();
    BlockTable& bt = ws->blocks;
    bt.block_type[kAlgBlock] = alg::kBlockType;
    bt.text_base[kAlgBlock] = kTextBase;
    bt.param_base[kAlgBlock] = kParamBase;
    for (int s = 0; s < alg::kSteps; ++s)
        alg::setBlankStep(bt, kAlgBlock, s);
    // Neighbours that must never change.
    bt.TextStore[kTextBase - 1] = QStringLiteral("before");
    bt.TextStore[kTextBase + alg::kProgramTexts] = QStringLiteral("after");
    bt.ParamStore[kParamBase] = 77.0f;                    // the block's own parameter 0
    bt.ParamStore[kParamBase + alg::kSetpoints + 1] = 88.0f; // next block's parameter
    return ws;
}

// The neighbours set above are untouched.
inline bool neighboursIntact(const Workspace& ws)
{
    const BlockTable& bt = ws.blocks;
    return bt.TextStore[kTextBase - 1] == QLatin1String("before")
        && bt.TextStore[kTextBase + alg::kProgramTexts] == QLatin1String("after")
        && bt.ParamStore[kParamBase] == 77.0f && bt.ParamStore[kParamBase + alg::kSetpoints + 1] == 88.0f;
}

} // namespace ostrel::testing
