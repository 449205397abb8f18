#pragma once
// With VEXLOR_STATE_LOG=path set, every timer tick first appends the game's state as it
// stands to that file, one line, so that tests of the real program can judge the game from
// its state instead of its pixels. The fields, separated by spaces:
//
//   tick paused shipCount powerUps sentryAutopilot sentryScore sentryDeaths
//   then for each of the six ship slots: x y velocityX velocityY headingX headingY
//   hitPoints score deaths bullets autopilot
//
// powerUps and bullets count the active ones. The line is one write with no allocation,
// so the log is whole however the process ends.
class CArenaView;

void WriteStateLog(const CArenaView& arena);
