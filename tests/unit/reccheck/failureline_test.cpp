#include "reccheck/failureline.h"
#include "reccheck/verdictcode.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

TEST(FailureLine, TellsTheStudentWhatTheVerdictFound) {
    const struct {
        int code;
        const char* line;
    } table[] = {
        {VerdictPass, ""},
        {VerdictUnreadable, "录音检测不可用。"},
        {VerdictNoSignal, "没有检测到声音，请检查麦克风是否已连接。"},
        {VerdictOverloaded, "声音过大，请让麦克风离嘴远一些。"},
        {VerdictNoSpeech, "没有听到说话声，请靠近麦克风朗读。"},
        {VerdictTooQuiet, "声音太小，请靠近麦克风或大声一些。"},
        {VerdictNotTheSentence, "没有听清句子，请完整朗读上面的句子。"},
        {VerdictNoSpeechModel, "录音检测不可用。"},
        // Codes the engine does not give: the page's picture says enough.
        {-1, ""},
        {8, ""},
        {65536, ""},
    };
    for (const auto& row : table)
        EXPECT_EQ(FailureLine(row.code), QString::fromUtf8(row.line)) << "code " << row.code;
}

} // namespace
