// The simple edition's answer and judgement: which request plays which chord,
// and that the browser has its page and a closed connection before the chord.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/answer.h"
#include "gbk.h"
#include "lite/simple_control_page.h"
#include "lite/simple_request_handler.h"

namespace {

using namespace std::string_literals;

TEST(SimpleControlPage, IsTheGbkPageByteForByte) {
    const std::string expectedUtf8 =
        "<html>\r\n"
        "<head>\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />\r\n"
        "<meta name=\"viewport\" content=\"user-scalable=0\">\r\n"
        "<title>Tavrelo</title>\r\n"
        "</head>\r\n"
        "<center>\r\n"
        "<body>\r\n"
        "<form action=\"\" method=\"get\" name=\"form1\" id=\"form1\" target=\"_self\">\r\n"
        "</br></br></br><p style=\"font-size:60px\"><b>Tavrelo</b></p>\r\n"
        " <h></br>\r\n"
        "    <label></label>\r\n"
        "    <input name=\"run_s\" type=\"submit\" id=\"run\" value=\"上一首\" style=\"height:100px;width:200px;font-size:50px\"/>\r\n"
        "  </h>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<h>\r\n"
        "    <label></label>\r\n"
        "    <input name=\"run_s\" type=\"submit\" id=\"run\" value=\"播放/暂停\"style=\"height:100px;width:240px;font-size:50px\" />\r\n"
        "  </h>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<h>\r\n"
        "    <label></label>\r\n"
        "    <input name=\"run_s\" type=\"submit\" id=\"run\" value=\"下一首\" style=\"height:100px;width:200px;font-size:50px\"/>\r\n"
        "  </h>\r\n"
        "</br></br></br></br>\r\n"
        "    <label></label>\r\n"
        "    <input name=\"run_s\" type=\"submit\" id=\"run\" value=\"音量加\" style=\"height:100px;width:200px;font-size:50px\"/>\r\n"
        "  </h>\r\n"
        "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<h>\r\n"
        "    <label></label>\r\n"
        "    <input name=\"run_s\" type=\"submit\" id=\"run\" value=\"喜欢歌曲\"style=\"height:100px;width:240px;font-size:50px\"/>\r\n"
        "  </h>\r\n"
        "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<h>\r\n"
        "    <label></label>\r\n"
        "    <input name=\"run_s\" type=\"submit\" id=\"run\" value=\"音量减\"style=\"height:100px;width:200px;font-size:50px\" />\r\n"
        "  </h>\r\n"
        "</form>\r\n"
        "</body>\r\n"
        "</center>\r\n"
        "</html>";
    const std::string expected = gbkFromUtf8(expectedUtf8);
    EXPECT_EQ(SimpleControlPage, expected);
    // 36 lines, the last without a line end; 6 labels of 2-byte characters.
    EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 35);
    EXPECT_EQ(SimpleControlPage.size(), expectedUtf8.size() - 20);
}

struct JudgeCase {
    const char* what;
    std::string request;
    char expectedLetter;  // 0: no chord
};

// Test names show what each case is about.
void PrintTo(const JudgeCase& c, std::ostream* out) { *out << c.what; }

class FindSimpleCommandTest : public ::testing::TestWithParam<JudgeCase> {};

TEST_P(FindSimpleCommandTest, PlaysTheFirstTableRowNamedInTheRequestLine) {
    const JudgeCase& c = GetParam();
    const PlayerCommand* row = findSimpleCommand(c.request);
    EXPECT_EQ(row ? static_cast<char>(row->keys[2]) : 0, c.expectedLetter) << c.what;
}

std::string get(const std::string& query, const std::string& headers = "") {
    return "GET /" + query + " HTTP/1.1\r\nHost: 192.168.1.5\r\n" + headers + "\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindSimpleCommandTest,
    ::testing::Values(
        JudgeCase{"previous", get("?run_s=%C9%CF%D2%BB%CA%D7"), 'J'},
        JudgeCase{"play/pause", get("?run_s=%B2%A5%B7%C5%2F%D4%DD%CD%A3"), 'P'},
        JudgeCase{"next", get("?run_s=%CF%C2%D2%BB%CA%D7"), 'K'},
        JudgeCase{"volume up", get("?run_s=%D2%F4%C1%BF%BC%D3"), 'U'},
        JudgeCase{"like", get("?run_s=%CF%B2%BB%B6%B8%E8%C7%FA"), 'L'},
        JudgeCase{"volume down", get("?run_s=%D2%F4%C1%BF%BC%F5"), 'I'},
        JudgeCase{"the page itself", get(""), 0},
        JudgeCase{"method word in any case", "gEt /?run_s=%CF%C2%D2%BB%CA%D7 HTTP/1.1\r\n\r\n", 'K'},
        JudgeCase{"method word anywhere", "PUT /?run_s=%CF%C2%D2%BB%CA%D7 HTTP/1.1\r\nX: get\r\n\r\n", 'K'},
        JudgeCase{"no method word at all", "PUT /?run_s=%CF%C2%D2%BB%CA%D7 HTTP/1.1\r\n\r\n", 0},
        JudgeCase{"lower-case hex", get("?run_s=%c9%cf%d2%bb%ca%d7"), 0},
        JudgeCase{"literal slash in play/pause", get("?run_s=%B2%A5%B7%C5/%D4%DD%CD%A3"), 0},
        JudgeCase{"UTF-8 encoding of a label", get("?run_s=%E4%B8%8A%E4%B8%80%E9%A6%96"), 0},
        JudgeCase{"the full edition's shutdown token", get("?run_s=%B9%D8%BB%FA"), 0},
        JudgeCase{"token of the previous press in Referer",
                  get("favicon.ico", "Referer: http://127.0.0.1/?run_s=%CF%C2%D2%BB%CA%D7\r\n"), 0},
        JudgeCase{"press with the previous press in Referer",
                  get("?run_s=%CF%C2%D2%BB%CA%D7", "Referer: http://127.0.0.1/?run_s=%C9%CF%D2%BB%CA%D7\r\n"), 'K'},
        JudgeCase{"two tokens in the request line: table order wins",
                  get("?run_s=%D2%F4%C1%BF%BC%F5&x=%CF%C2%D2%BB%CA%D7"), 'K'},
        JudgeCase{"request line ended by a bare LF",
                  "GET / HTTP/1.0\nReferer: /?run_s=%C9%CF%D2%BB%CA%D7\n\n", 0},
        JudgeCase{"token after a zero byte is never seen",
                  bytesToText("GET /?x\0run_s=%C9%CF%D2%BB%CA%D7 HTTP/1.1\r\n\r\n"s), 0},
        JudgeCase{"token right after a lone lead byte is hidden",
                  get("?run_s=\xB0%C9%CF%D2%BB%CA%D7"), 0}));

// Records what the handler does, in order.
struct Recorder {
    std::vector<std::string> steps;
    ByteData received;
    Text currentClient = "10.0.0.7:50123";
    bool sendSucceeds = true;

    ConnectionOperations operations() {
        return {
            [this] { return received; },
            [this] { return currentClient; },
            [this](const Text& client, std::string_view data) {
                steps.push_back("send " + client + " " + std::string(data));
                return sendSucceeds;
            },
            [this](const Text& client) {
                steps.push_back("disconnect " + client);
                currentClient.clear();
            },
        };
    }
    ChordSynthesizer chords() {
        return [this](std::uint8_t a, std::uint8_t b, std::uint8_t c) {
            steps.push_back("chord " + std::to_string(a) + "," + std::to_string(b) + "," + std::string(1, char(c)));
        };
    }
};

const std::string answer = std::string(AnswerHeader) + std::string(SimpleControlPage);

TEST(SimpleRequestHandler, SendsThePageClosesThenPlaysTheChord) {
    Recorder recorder;
    recorder.received = get("?run_s=%C9%CF%D2%BB%CA%D7");
    simpleRequestHandler(recorder.operations(), recorder.chords());
    EXPECT_EQ(recorder.steps, (std::vector<std::string>{"send 10.0.0.7:50123 " + answer,
                                                        "disconnect 10.0.0.7:50123", "chord 17,18,J"}));
}

TEST(SimpleRequestHandler, AnswersEveryArrivalEvenWithoutAPress) {
    Recorder recorder;
    recorder.received = "\x16\x03\x01 not a request at all"s;
    simpleRequestHandler(recorder.operations(), recorder.chords());
    EXPECT_EQ(recorder.steps,
              (std::vector<std::string>{"send 10.0.0.7:50123 " + answer, "disconnect 10.0.0.7:50123"}));
}

TEST(SimpleRequestHandler, PlaysThePressEvenWhenThePageCouldNotBeSent) {
    Recorder recorder;
    recorder.sendSucceeds = false;
    recorder.received = get("?run_s=%D2%F4%C1%BF%BC%F5");
    simpleRequestHandler(recorder.operations(), recorder.chords());
    ASSERT_EQ(recorder.steps.size(), 3u);
    EXPECT_EQ(recorder.steps.back(), "chord 17,18,I");
}

TEST(AnswerHeader, IsOneMinimalHttpHeaderBlock) {
    EXPECT_EQ(composeAnswer({"<html>", "</html>"}),
              "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=gb2312\r\nCache-Control: no-store\r\n"
              "Connection: close\r\n\r\n<html></html>");
}

}  // namespace
