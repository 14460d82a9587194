// The editing and mode state of the scene: the selection, the mode flags,
// the followed ball and the particle ball. The window's own state (window
// ids, sizes, frame times) is the app's and wraps this record.
#pragma once

namespace scene {

struct SceneState {
    bool simulationRunning = false;  // false: building mode
    bool simulationPaused = false;   // the physics is not stepped while true
    bool wireframe = false;
    bool smoothShading = false;
    bool klotzSelected = false;  // only while the selected cell's stack is not empty
    bool followBall = false;     // the camera rides ball followedBall
    bool particlesOn = false;
    bool insightShown = false;  // the run statistics panel over the scene (key g)
    int followedBall = 0;  // index into the ball actors
    int particleBall = 0;  // index into the ball actors and ball starts
    int selectedRow = 10;  // 0..19
    int selectedColumn = 10;
    // Simulation clocks, frame clock seconds: the previous physics and
    // particle steps; renewed when stepping (re)starts so paused time is not
    // simulated.
    double lastStepTime = 0.0;
    double particleTime = 0.0;

    // Playback of a run: an index into PLAYBACK_FACTORS (Simulation.h), the
    // simulated seconds not yet stepped, and the step shown, counted from
    // the run's start (below the record's last step while rewound).
    int playbackStep = 4;
    double stepCarry = 0.0;
    long runStep = 0;
};

}  // namespace scene
