#pragma once

#include "panel_simulator.h"
#include "programming/chunk_marks.h"
#include "serial/memory_line.h"
#include "support/session_host.h"

// A session with the simulated panel in process: the line, the simulator on its far end and a
// test host on the program's end. connect() brings the call up the way the connection worker
// does (dial, identification, codes, proceed) and leaves the link in frame mode, ready for
// SessionTestHost::startSession.
struct SimSession {
    explicit SimSession(const sim::PanelSimConfig& config);
    ~SimSession();

    MemoryLine line;
    PanelSimulator sim;
    SessionTestHost host{line.port()};

    bool connect();
    OnLine& worker() { return *host.worker; }
    // Connects and starts a session that reads the whole programming; true when both worked.
    bool connectAndRead();
    // Raises a write of the given chunk marks (what an editor's send does).
    void requestWrite(quint32 blocks, const std::array<quint8, 19>& chunks);
    // The same with the bytes the marks take from ImagemPC (ChunkMarks::Content).
    void requestWrite(const ChunkMarks& marks);
    // Hangs up and waits for the worker's end.
    bool disconnect();
};
