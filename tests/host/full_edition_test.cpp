// The full edition's documents, title escaping, judgement and answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/answer.h"
#include "full/control_pages.h"
#include "full/full_request.h"
#include "full/full_request_handler.h"
#include "full/song_title.h"
#include "gbk.h"

namespace {

using namespace std::string_literals;

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

TEST(FullPages, HaveTheirExactLengthsEndsAndGbkLabels) {
    EXPECT_EQ(ControlPageHead.size(), 639u);
    EXPECT_EQ(ControlPageTail.size(), 1478u);
    EXPECT_EQ(ShutdownDonePage.size(), 135u);
    EXPECT_EQ(WrongPasswordPage.size(), 131u);

    EXPECT_EQ(ControlPageHead.substr(0, 8), "<html>\r\n");
    EXPECT_EQ(ControlPageHead.substr(ControlPageHead.size() - 49),
              "      <p style=\"font-size:30px;color:#ff0000\"><b>");
    EXPECT_EQ(ControlPageTail.substr(0, 8), "</b></p>");
    EXPECT_EQ(ControlPageTail.substr(ControlPageTail.size() - 12), "\r\n   </html>");
    EXPECT_TRUE(contains(ControlPageHead, "<form action=\"\" method=\"post\""));
    for (const char* label : {"上一首", "播放/暂停", "下一首", "音量加", "喜欢歌曲", "音量减"})
        EXPECT_TRUE(contains(ControlPageTail, "value=\"" + gbkFromUtf8(label) + "\"/></label>")) << label;
    EXPECT_TRUE(contains(ControlPageTail, "value=\"" + gbkFromUtf8("关机") + "\"style="));
    EXPECT_TRUE(contains(ControlPageTail, gbkFromUtf8("        密码:\r\n")));
    EXPECT_TRUE(contains(ControlPageTail, "name=\"psw_s\" type=\"password\" maxlength=\"4\""));

    const std::string alert = "<html>\r\n<head>\r\n<script>\r\nfunction load()\r\n{\r\nalert(\"%s\");\r\n}\r\n"
                              "</script>\r\n</head>\r\n<body onload=\"load()\">\r\n</body>\r\n</html>";
    auto alertWith = [&](const char* message) {
        std::string page = alert;
        page.replace(page.find("%s"), 2, gbkFromUtf8(message));
        return page;
    };
    EXPECT_EQ(ShutdownDonePage, alertWith("关机执行成功！"));
    EXPECT_EQ(WrongPasswordPage, alertWith("密码错误！"));
}

TEST(BuildControlPage, PutsTheTitleBetweenHeadAndTail) {
    EXPECT_EQ(buildControlPage("").size(), 2117u);
    const Text page = buildControlPage("Song");
    EXPECT_EQ(page, std::string(ControlPageHead) + "Song" + std::string(ControlPageTail));
}

struct TitleCase {
    const char* what;
    std::u16string title;
    std::string expected;
};
void PrintTo(const TitleCase& c, std::ostream* out) { *out << c.what; }

class TitleForPageTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleForPageTest, EscapesMarkupAndReferencesWhatGbkLacks) {
    EXPECT_EQ(titleForPage(GetParam().title, gbkOf), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TitleForPageTest,
    ::testing::Values(TitleCase{"plain", u"Song - Artist", "Song - Artist"},
                      TitleCase{"markup characters", u"<b>Rock & \"Roll\" 'n'</b>",
                                "&lt;b&gt;Rock &amp; &quot;Roll&quot; &#39;n&#39;&lt;/b&gt;"},
                      TitleCase{"Chinese", u"七里香 - 周", gbkFromUtf8("七里香 - 周")},
                      TitleCase{"a character GBK lacks", u"\u266B Song", "&#9835; Song"},
                      TitleCase{"a character beyond 16 bits", u"\U0001F600!", "&#128512;!"},
                      TitleCase{"half a surrogate pair", u"a\xD83D" "b", "a&#65533;b"},
                      TitleCase{"empty", u"", ""}));

struct JudgeCase {
    const char* what;
    std::string request;
    std::string password;
    FullOutcome outcome;
    char letter = 0;
};
void PrintTo(const JudgeCase& c, std::ostream* out) { *out << c.what; }

class JudgeFullRequestTest : public ::testing::TestWithParam<JudgeCase> {};

TEST_P(JudgeFullRequestTest, DecidesTheOutcome) {
    const JudgeCase& c = GetParam();
    const FullJudgement judgement = judgeFullRequest(c.request, c.password);
    EXPECT_EQ(judgement.outcome, c.outcome);
    if (c.outcome == FullOutcome::PlayCommand) {
        ASSERT_NE(judgement.command, nullptr);
        EXPECT_EQ(judgement.command->keys[2], c.letter);
    }
}

std::string post(const std::string& body) {
    return "POST / HTTP/1.1\r\nHost: 10.0.0.2\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}
const std::string shutdownPress = "run_s=%B9%D8%BB%FA";

INSTANTIATE_TEST_SUITE_P(
    Cases, JudgeFullRequestTest,
    ::testing::Values(
        JudgeCase{"previous", post("run_s=%C9%CF%D2%BB%CA%D7&psw_s="), "7395", FullOutcome::PlayCommand, 'J'},
        JudgeCase{"play/pause", post("run_s=%B2%A5%B7%C5%2F%D4%DD%CD%A3&psw_s="), "7395", FullOutcome::PlayCommand, 'P'},
        JudgeCase{"next", post("run_s=%CF%C2%D2%BB%CA%D7&psw_s="), "7395", FullOutcome::PlayCommand, 'K'},
        JudgeCase{"volume up", post("run_s=%D2%F4%C1%BF%BC%D3&psw_s="), "7395", FullOutcome::PlayCommand, 'U'},
        JudgeCase{"like", post("run_s=%CF%B2%BB%B6%B8%E8%C7%FA&psw_s="), "7395", FullOutcome::PlayCommand, 'L'},
        JudgeCase{"volume down", post("run_s=%D2%F4%C1%BF%BC%F5&psw_s="), "7395", FullOutcome::PlayCommand, 'I'},
        JudgeCase{"two tokens: table order wins", post("x=%D2%F4%C1%BF%BC%F5&run_s=%CF%C2%D2%BB%CA%D7"), "7395",
                  FullOutcome::PlayCommand, 'K'},
        JudgeCase{"command beats shutdown", post("run_s=%CF%C2%D2%BB%CA%D7&psw_s=7395&" + shutdownPress), "7395",
                  FullOutcome::PlayCommand, 'K'},
        JudgeCase{"command needs POST", "GET /?run_s=%CF%C2%D2%BB%CA%D7 HTTP/1.1\r\n\r\n", "7395",
                  FullOutcome::PageRequest},
        JudgeCase{"lower-case post plays nothing", "post / HTTP/1.1\r\n\r\nrun_s=%CF%C2%D2%BB%CA%D7", "7395",
                  FullOutcome::NoAnswer},
        JudgeCase{"lower-case hex plays nothing", post("run_s=%cf%c2%d2%bb%ca%d7"), "7395", FullOutcome::NoAnswer},
        JudgeCase{"right password", post("psw_s=7395&" + shutdownPress), "7395", FullOutcome::AcceptedShutdown},
        JudgeCase{"right password after the button", post(shutdownPress + "&psw_s=7395"), "7395",
                  FullOutcome::AcceptedShutdown},
        JudgeCase{"right password in a GET", "GET /?" + shutdownPress + "&psw_s=7395 HTTP/1.1\r\n\r\n", "7395",
                  FullOutcome::AcceptedShutdown},
        JudgeCase{"wrong password", post("psw_s=1234&" + shutdownPress), "7395", FullOutcome::RefusedShutdown},
        JudgeCase{"longer password that begins with the right one", post(shutdownPress + "&psw_s=73951"), "7395",
                  FullOutcome::RefusedShutdown},
        JudgeCase{"no password typed", post(shutdownPress + "&psw_s="), "7395", FullOutcome::RefusedShutdown},
        JudgeCase{"empty box asks for none", post(shutdownPress + "&psw_s=1111"), "", FullOutcome::AcceptedShutdown},
        JudgeCase{"page request, any path", "GET /favicon.ico HTTP/1.1\r\n\r\n", "7395", FullOutcome::PageRequest},
        JudgeCase{"lower-case get gets nothing", "get / HTTP/1.1\r\n\r\n", "7395", FullOutcome::NoAnswer},
        JudgeCase{"POST without a known value", post("x=1"), "7395", FullOutcome::NoAnswer},
        JudgeCase{"a zero byte ends the request", bytesToText(post("a\0run_s=%CF%C2%D2%BB%CA%D7"s)), "7395",
                  FullOutcome::NoAnswer}));

TEST(CarriesPassword, TheValueMustEndWhereTheFormValueEnds) {
    const std::string probe = "psw_s=7395";
    for (const char* after : {"", "&run_s=x", "\r\n", "\n", " HTTP/1.1"})
        EXPECT_TRUE(carriesPassword("x&" + probe + after, "7395")) << after;
    for (const char* after : {"1", "%20", "x", "5"})
        EXPECT_FALSE(carriesPassword("x&" + probe + after, "7395")) << after;
    EXPECT_TRUE(carriesPassword("psw_s=73951&psw_s=7395", "7395"));  // a later exact value counts
    EXPECT_FALSE(carriesPassword("psw_s=739", "7395"));
}

TEST(RequestAssembler, JudgesAPostOnceItsBodyHasArrived) {
    RequestAssembler assembler;
    const std::string body = "run_s=%CF%C2%D2%BB%CA%D7&psw_s=";
    const std::string whole = post(body);
    const std::string head = whole.substr(0, whole.size() - body.size());

    EXPECT_FALSE(assembler.add("a:1", head.substr(0, 20)));  // header block not ended yet
    EXPECT_FALSE(assembler.add("a:1", head.substr(20)));      // body announced, none arrived
    EXPECT_FALSE(assembler.add("a:1", body.substr(0, 5)));
    EXPECT_EQ(assembler.add("a:1", body.substr(5)), whole);
    EXPECT_FALSE(assembler.isWaitingFor("a:1"));

    EXPECT_EQ(assembler.add("a:1", whole), whole);  // a whole request is judged at once
    EXPECT_FALSE(assembler.add("c:3", "PO"));        // even the method word may come in pieces
    EXPECT_EQ(assembler.add("c:3", whole.substr(2)), whole);
    EXPECT_EQ(assembler.add("b:2", "GET / HTTP/1.1\r\n"), "GET / HTTP/1.1\r\n");  // only POSTs wait
}

TEST(RequestAssembler, KeepsPiecesPerConnectionAndForgetsThemWhenItLeaves) {
    RequestAssembler assembler;
    EXPECT_FALSE(assembler.add("a:1", "POST / HTTP/1.1\r\n"));
    EXPECT_EQ(assembler.add("b:2", "GET / HTTP/1.1\r\n\r\n"), "GET / HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(assembler.isWaitingFor("a:1"));
    assembler.forget("a:1");
    EXPECT_FALSE(assembler.isWaitingFor("a:1"));
    EXPECT_EQ(assembler.add("a:1", "\r\n"), "\r\n");
}

TEST(RequestAssembler, StopsGatheringAt64KiB) {
    RequestAssembler assembler;
    const std::string head = "POST / HTTP/1.1\r\nContent-Length: 999999\r\n\r\n";
    EXPECT_FALSE(assembler.add("a:1", head));
    const std::string chunk(16 * 1024, 'x');
    std::optional<ByteData> judged;
    int arrivals = 0;
    while (!judged && arrivals < 10) judged = assembler.add("a:1", chunk), ++arrivals;
    ASSERT_TRUE(judged);
    EXPECT_EQ(arrivals, 4);
    EXPECT_GE(judged->size(), RequestAssembler::MaxRequestBytes);
}

// Records what the handler does with the connection and the PC, in order.
struct Recorder {
    std::vector<std::string> steps;
    ByteData received;
    Text client = "10.0.0.9:5000";
    Text password = "7395";
    Text title = "Song";

    ConnectionOperations server() {
        return {
            [this] { return received; },
            [this] { return client; },
            [this](const Text& to, std::string_view data) {
                steps.push_back("send " + to + " " + std::string(data));
                return true;
            },
            [this](const Text& to) {
                steps.push_back("disconnect " + to);
                client.clear();
            },
        };
    }
    FullEditionOperations edition() {
        FullEditionOperations ops;
        ops.password = [this] { return password; };
        ops.songTitleHtml = [this] {
            steps.push_back("read title");
            return title;
        };
        ops.synthesizeChord = [this](std::uint8_t, std::uint8_t, std::uint8_t letter) {
            steps.push_back(std::string("chord ") + char(letter));
        };
        ops.pause = [this](int ms) { steps.push_back("pause " + std::to_string(ms)); };
        ops.startShutdown = [this] { steps.push_back("shutdown"); };
        ops.exitProgram = [this] { steps.push_back("exit"); };
        return ops;
    }
    void arrive(const std::string& bytes, RequestAssembler& assembler) {
        received = bytes;
        fullRequestHandler(server(), edition(), assembler);
    }
};

const std::string controlAnswer = composeAnswer({buildControlPage("Song")});

TEST(FullRequestHandler, PlaysThenPausesThenReadsTheTitleAndAnswers) {
    Recorder recorder;
    RequestAssembler assembler;
    recorder.arrive(post("run_s=%CF%C2%D2%BB%CA%D7&psw_s="), assembler);
    EXPECT_EQ(recorder.steps, (std::vector<std::string>{"chord K", "pause 300", "read title",
                                                        "send 10.0.0.9:5000 " + controlAnswer,
                                                        "disconnect 10.0.0.9:5000"}));
}

TEST(FullRequestHandler, AcceptedShutdownAnswersClosesThenShutsDownAndEnds) {
    Recorder recorder;
    RequestAssembler assembler;
    recorder.arrive(post("run_s=%B9%D8%BB%FA&psw_s=7395"), assembler);
    EXPECT_EQ(recorder.steps,
              (std::vector<std::string>{"send 10.0.0.9:5000 " + composeAnswer({ShutdownDonePage}),
                                        "disconnect 10.0.0.9:5000", "shutdown", "exit"}));
}

TEST(FullRequestHandler, RefusedShutdownSendsTheAlertAndTheControlPageUnderOneHeader) {
    Recorder recorder;
    RequestAssembler assembler;
    recorder.arrive(post("run_s=%B9%D8%BB%FA&psw_s=0000"), assembler);
    EXPECT_EQ(recorder.steps,
              (std::vector<std::string>{"read title",
                                        "send 10.0.0.9:5000 " + composeAnswer({WrongPasswordPage, buildControlPage("Song")}),
                                        "disconnect 10.0.0.9:5000"}));
}

TEST(FullRequestHandler, AnswersPagesLeavesTheRestOpenAndWaitsForAWholePost) {
    Recorder recorder;
    RequestAssembler assembler;
    recorder.arrive("GET / HTTP/1.1\r\n\r\n", assembler);
    EXPECT_EQ(recorder.steps.size(), 3u);

    recorder.steps.clear();
    recorder.client = "10.0.0.9:5001";
    recorder.arrive("PUT / HTTP/1.1\r\n\r\n", assembler);
    EXPECT_TRUE(recorder.steps.empty());  // no answer, no close

    const std::string body = "run_s=%C9%CF%D2%BB%CA%D7&psw_s=";
    const std::string whole = post(body);
    recorder.arrive(whole.substr(0, whole.size() - body.size()), assembler);
    EXPECT_TRUE(recorder.steps.empty());
    recorder.arrive(body, assembler);
    ASSERT_FALSE(recorder.steps.empty());
    EXPECT_EQ(recorder.steps.front(), "chord J");
}

}  // namespace
