#include "common/KivScriptedPrompt.h"
#include "common/KivTestHome.h"
#include "support/KivErrorHandler.h"

#include <stdexcept>
#include <thread>

namespace {

KivErrorObject OpenError() {
    KivErrorObject e;
    e.SubSystem = "KIV";
    e.GenCode = KivGen::Open;
    e.OsCode = 2;
    e.FuncSym = "KIVFILEBIN:OPEN";
    e.Operation = "Open";
    e.Description = "Can't open the file";
    e.FileName = "C:\\Cavo25\\AEF\\Project.KPI";
    e.CanRetry = true;
    e.CanDefault = true;
    return e;
}

} // namespace

class ErrorHandlerTest : public KivTestHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        m_previousDir = std::filesystem::current_path();
        std::filesystem::current_path(Scratch());
        m_previousSettings = KivRuntime();
        KivRuntime() = KivRuntimeSettings();
    }
    void TearDown() override {
        std::filesystem::current_path(m_previousDir);
        KivRuntime() = m_previousSettings;
        KivTestHome::TearDown();
    }
    std::string Log() const { return ReadFile(Scratch() / "VOERROR.LOG"); }

    std::shared_ptr<KivScriptedPrompt> m_prompt = std::make_shared<KivScriptedPrompt>();
    KivPromptScope m_scope{m_prompt};

private:
    std::filesystem::path m_previousDir;
    KivRuntimeSettings m_previousSettings;
};

TEST_F(ErrorHandlerTest, NetworkErrorsReturnDefaultWithoutBoxOrLog) {
    for (auto [gen, os] : {std::pair{21u, 32u}, {21u, 33u}, {40u, 0u}}) {
        KivErrorObject e = OpenError();
        e.GenCode = gen;
        e.OsCode = os;
        EXPECT_EQ(DefError(e).kind, KivErrorOutcome::Default);
    }
    EXPECT_TRUE(KivRuntime().NetworkError);
    EXPECT_TRUE(m_prompt->errorBoxes.empty());
    EXPECT_FALSE(std::filesystem::exists(Scratch() / "VOERROR.LOG"));

    // Without CanDefault it is an ordinary error.
    KivErrorObject e = OpenError();
    e.OsCode = 32;
    e.CanDefault = false;
    DefError(e);
    EXPECT_EQ(m_prompt->errorBoxes.size(), 1u);
}

TEST_F(ErrorHandlerTest, MessageTextHasEachSetField) {
    KivErrorObject e = OpenError();
    e.SubCode = 1001;
    e.SubCodeText = "missing";
    e.Arg = "x.prg";
    e.ArgType = KivType::String;
    e.ArgTypeReq = KivType::Long;
    e.ArgNum = 2;
    e.FileName = std::string(50, 'f');
    e.CallStack = {{"KIVFILEBIN:OPEN", 12}, {"START", 3}, {"NOLINE", 0}, {"AFTER", 9}};
    EXPECT_EQ(KivErrorMessage(e),
              "Error Code:  21 [ OPEN ERROR ]\r\n"
              "Subsystem: KIV\r\n"
              "Error Subcode: 1001 (missing)\r\n"
              "Operation: Open\r\n"
              "Function: KIVFILEBIN:OPEN\r\n"
              "Filename: " + std::string(40, 'f') + "\r\n"
              "Argument: x.prg\r\n"
              "Type: STRING\r\n"
              "Argument Number: 2\r\n"
              "Requested type: LONGINT\r\n"
              "Description: Can't open the file\r\n"
              "CallStack: \r\n"
              "KIVFILEBIN:OPEN (Line: 12)\r\n"
              "START (Line: 3)\r\n");

    KivErrorObject bare;
    bare.Description = "Something";
    EXPECT_EQ(KivErrorMessage(bare), "Error Code:  Something\r\nDescription: Something\r\n");

    KivErrorObject deep;
    for (uint32_t i = 1; i <= 7; ++i)
        deep.CallStack.push_back({"R" + std::to_string(i), i});
    std::string m = KivErrorMessage(deep);
    EXPECT_NE(m.find("R5 (Line: 5)"), std::string::npos);
    EXPECT_EQ(m.find("R6"), std::string::npos);
}

TEST_F(ErrorHandlerTest, WarningTitleAndText) {
    KivErrorObject e = OpenError();
    e.Severity = 1;
    DefError(e);
    ASSERT_EQ(m_prompt->errorBoxes.size(), 1u);
    EXPECT_EQ(m_prompt->errorBoxes[0].title, "WARNING");
    EXPECT_EQ(m_prompt->errorBoxes[0].text.rfind("WARNING : ", 0), 0u);
}

TEST_F(ErrorHandlerTest, LogRecordLayout) {
    KivErrorObject e = OpenError();
    std::string record = KivErrorLogRecord(e, "MSG\r\n", "12/08/2026", "10:11:12");
    EXPECT_EQ(record,
              "***********************ERROR********************************\r\n"
              "12/08/2026 10:11:12\r\n"
              " \r\n"
              "Error message:\r\n"
              "--------------\r\n"
              "MSG\r\n"
              "Error Object created:\r\n"
              "--------------------\r\n"
              "SubSystem       :KIV\r\n"
              "SubCode         :0\r\n"
              "GenCode         :Open error\r\n"
              "OsCode          :2\r\n"
              "ArgType         :NIL\r\n"
              "FuncPtr         :0\r\n"
              "ArgNum          :0\r\n"
              "FuncSym         :KIVFILEBIN:OPEN\r\n"
              "Severity        :2\r\n"
              "CanDefault      :.T.\r\n"
              "CanRetry        :.T.\r\n"
              "CanSubstitute   :.F.\r\n"
              "Operation       :Open\r\n"
              "Description     :Can't open the file\r\n"
              "FileName        :C:\\Cavo25\\AEF\\Project.KPI\r\n"
              "Tries           :0\r\n"
              "FileHandle      :0\r\n"
              "SubCodeText     :\r\n"
              "Arg             :\r\n"
              "ArgTypeReq      :NIL\r\n"
              "MaxSize         :0\r\n"
              "SubstituteType  :NIL\r\n"
              "CallFuncSym     :\r\n"
              "--------------------\r\n");

    e.SubCode = 5333;
    e.OsCode = 0xC0000005;
    e.FuncPtr = 0x401000;
    record = KivErrorLogRecord(e, "", "d", "t");
    EXPECT_NE(record.find("ExceptionCode   :C0000005\r\n"), std::string::npos);
    EXPECT_NE(record.find("ExceptionFlags  :00000000\r\n"), std::string::npos);
    EXPECT_NE(record.find("ExceptionAddress:00401000\r\n"), std::string::npos);
    EXPECT_NE(record.find("ParamNumber     :0\r\n"), std::string::npos);
    EXPECT_NE(record.find("ExceptionInfo   :"), std::string::npos);
}

TEST_F(ErrorHandlerTest, TwoErrorsGiveTwoRecordsSeparatedByAnEmptyLine) {
    DefError(OpenError());
    std::string first = Log();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.rfind("***********************ERROR", 0), 0u);
    DefError(OpenError());
    std::string both = Log();
    ASSERT_GT(both.size(), first.size());
    EXPECT_EQ(both.substr(0, first.size()), first);
    EXPECT_EQ(both.substr(first.size(), 2 + 11), "\r\n***********");

    KivRuntime().ErrorLog = false;
    DefError(OpenError());
    EXPECT_EQ(Log(), both);
}

TEST_F(ErrorHandlerTest, ChoicesAndOutcomes) {
    KivErrorObject e = OpenError();
    m_prompt->errorAnswers = {KivErrorChoice::Retry, KivErrorChoice::Default, KivErrorChoice::Quit};
    EXPECT_EQ(DefError(e).kind, KivErrorOutcome::Retry);
    EXPECT_EQ(DefError(e).kind, KivErrorOutcome::Default);
    KivErrorOutcome quit = DefError(e);
    EXPECT_EQ(quit.kind, KivErrorOutcome::Quit);
    EXPECT_EQ(quit.exitCode, 21u);

    // A missing variable is never retried; a substitute comes back with its type.
    e.GenCode = KivGen::NoVar;
    e.CanSubstitute = true;
    e.SubstituteType = KivType::String;
    m_prompt->errorAnswers = {KivErrorChoice::Retry, KivErrorChoice::Default};
    KivErrorOutcome noRetry = DefError(e);
    EXPECT_FALSE(m_prompt->errorBoxes.back().canRetry);
    EXPECT_EQ(noRetry.kind, KivErrorOutcome::Quit);
    KivErrorOutcome substituted = DefError(e);
    EXPECT_EQ(substituted.kind, KivErrorOutcome::Substitute);
    EXPECT_EQ(substituted.substituteType, KivType::String);

    KivRuntime().CanBreak = true;
    m_prompt->errorAnswers = {KivErrorChoice::Quit};
    EXPECT_EQ(DefError(OpenError()).kind, KivErrorOutcome::Break);
}

TEST_F(ErrorHandlerTest, PointerSubstituteRaisesSeverityAndBeepFollowsTheSetting) {
    KivErrorObject e = OpenError();
    e.SubstituteType = 18;
    KivRuntime().Beep = true;
    DefError(e);
    EXPECT_NE(Log().find("Severity        :3\r\n"), std::string::npos);
    ASSERT_EQ(m_prompt->beeps.size(), 3u);
    EXPECT_EQ(m_prompt->beeps[0], 440);
}

TEST_F(ErrorHandlerTest, ExceptionsThatAreNoErrorObjectsAreReportedAsArguments) {
    DefError(std::runtime_error("disk on fire"));
    ASSERT_EQ(m_prompt->errorBoxes.size(), 1u);
    const std::string& text = m_prompt->errorBoxes[0].text;
    EXPECT_NE(text.find("Function: DefError\r\n"), std::string::npos);
    EXPECT_NE(text.find("Argument: disk on fire\r\n"), std::string::npos);
    EXPECT_NE(text.find("Argument Number: 1\r\n"), std::string::npos);

    KivErrorObject e = OpenError();
    DefError(KivError(e));
    EXPECT_NE(m_prompt->errorBoxes[1].text.find("Description: Can't open the file"), std::string::npos);
}

TEST_F(ErrorHandlerTest, AGoneWorkingDirectoryIsReportedAndClearsTheDefaultDir) {
    std::filesystem::create_directories(Scratch() / "gone");
    std::filesystem::current_path(Scratch() / "gone");
    std::filesystem::remove(Scratch() / "gone");
    KivRuntime().DefaultDir = "C:\\WORK";
    DefError(OpenError());
    EXPECT_TRUE(KivRuntime().DefaultDir.empty());
    ASSERT_EQ(m_prompt->errorBoxes.size(), 2u);
    EXPECT_NE(m_prompt->errorBoxes[0].text.find("SetDefaultDir: C:\\WORK"), std::string::npos);
}

TEST_F(ErrorHandlerTest, UncaughtExceptionsEndTheProgramWithTheGeneralCode) {
    EXPECT_EXIT(
        {
            KivInstallErrorHandler();
            // An exception leaving a thread's function goes to std::terminate.
            std::thread([] { throw KivError(OpenError()); }).join();
        },
        ::testing::ExitedWithCode(21), "");
    EXPECT_NE(Log().find("GenCode         :Open error"), std::string::npos);
}
