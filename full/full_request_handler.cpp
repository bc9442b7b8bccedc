#include "full_request_handler.h"

#include "control_pages.h"
#include "core/answer.h"

namespace {

void answerAndClose(const ConnectionOperations& server, const Text& answer) {
    server.sendData(server.getCurrentClient(), answer);
    server.disconnectClient(server.getCurrentClient());
}

}  // namespace

void fullRequestHandler(const ConnectionOperations& server, const FullEditionOperations& edition,
                        RequestAssembler& assembler) {
    const std::optional<ByteData> whole = assembler.add(server.getCurrentClient(), server.getReceivedData());
    if (!whole) return;  // the rest of a POST is still on its way
    const Text request = bytesToText(*whole);
    const FullJudgement judgement = judgeFullRequest(request, edition.password());

    switch (judgement.outcome) {
        case FullOutcome::PlayCommand: {
            const auto& keys = judgement.command->keys;
            edition.synthesizeChord(keys[0], keys[1], keys[2]);
            edition.pause(PauseAfterChordMs);
            answerAndClose(server, composeAnswer({buildControlPage(edition.songTitleHtml())}));
            break;
        }
        case FullOutcome::AcceptedShutdown:
            // The browser has its answer before the PC begins to shut down.
            answerAndClose(server, composeAnswer({ShutdownDonePage}));
            edition.startShutdown();
            edition.exitProgram();
            break;
        case FullOutcome::RefusedShutdown:
            answerAndClose(server, composeAnswer({WrongPasswordPage, buildControlPage(edition.songTitleHtml())}));
            break;
        case FullOutcome::PageRequest:
            answerAndClose(server, composeAnswer({buildControlPage(edition.songTitleHtml())}));
            break;
        case FullOutcome::NoAnswer:
            break;  // the connection stays open
    }
}
