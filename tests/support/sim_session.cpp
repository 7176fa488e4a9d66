#include "support/sim_session.h"

#include "link/frame_codec.h"

SimSession::SimSession(const sim::PanelSimConfig& config) : sim(config) {
    sim.attach(&line);
}

SimSession::~SimSession() {
    if (host.worker && !host.ended)
        disconnect();
}

bool SimSession::connect() {
    LinkState& link = host.Link();
    line.port()->SetOpened(true);
    host.dispatcher.EnviaComando("ATDT5551234;ATA\r");
    if (!SessionTestHost::waitFor([this] { return sim.carrier(); }))
        return false;
    link.FrameMode = true;
    quint8 answerType = 0;
    const auto exchange = [&](const QByteArray& frame, quint8 expected, int slice) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            link.DiscardFrame();
            host.dispatcher.EnviaComando(frame);
            if (SessionTestHost::waitFor([&] { return link.FrameReady(); }, 5000)) {
                const auto answer = FrameCodec::AnswerSlice(*link.TakeFrame(), slice);
                answerType = answer ? quint8(answer->at(0)) : 0;
                // A panel that starts sending its log answers the proceed frame with its first record.
                if (answer && (answerType == expected || (expected == FrameCodec::TypeAck &&
                                                          answerType == FrameCodec::TypeEventRecord)))
                    return true;
            }
        }
        return false;
    };
    const QByteArray image = sim.image();
    const QString panelCode = FrameCodec::UnpackCode(image.mid(112, 2));
    const QString pcCode = FrameCodec::UnpackCode(image.mid(114, 2));
    if (!exchange(FrameCodec::BuildShortCommand(FrameCodec::CmdIdentify), FrameCodec::TypeIdentify,
                  FrameCodec::IdentifySlice) ||
        !exchange(FrameCodec::BuildCodeFrame(panelCode, pcCode), FrameCodec::TypeAck, 2) ||
        !exchange(FrameCodec::BuildShortCommand(FrameCodec::CmdProceed), FrameCodec::TypeAck,
                  FrameCodec::BlockSlice))
        return false;
    link.PanelSentBuffer = answerType == FrameCodec::TypeEventRecord;
    link.ConnectedProduct = quint8(sim.product());
    return sim.sessionOpen();
}

bool SimSession::connectAndRead() {
    if (!connect())
        return false;
    host.customerProduct = sim.product();
    host.startSession(sim.product() == 2 ? 0xFFFF : 0x7FFFF);
    const auto report = host.waitForReport();
    return report && report->succeeded();
}

void SimSession::requestWrite(quint32 blocks, const std::array<quint8, 19>& chunks) {
    for (int b = 0; b < 19; ++b)
        worker().Chunks[b] = chunks[b];
    worker().Blocks = blocks;
    worker().WriteProgrammingRequest = true;
}

void SimSession::requestWrite(const ChunkMarks& marks) {
    for (int b = 0; b < 19; ++b)
        worker().Chunks[b] = marks.Chunks[b];
    worker().WriteBytes.store(marks.Content);
    worker().Blocks = marks.Blocks;
    worker().WriteProgrammingRequest = true;
}

bool SimSession::disconnect() {
    if (!host.worker || host.ended)
        return true;
    host.worker->DisconnectRequest = true;
    return host.waitForEnd();
}
