// Marks where the program's start-up has got to, at its seams (wWinMain and Form1::Open),
// for the benchmark's breakdown of it. Only the benchmark's own build of the program
// (QUENDRAL_TIMED) records anything; in Quendral.exe these are empty and leave no code behind.
#pragma once

namespace quendral::start_phases {

#ifdef QUENDRAL_TIMED
// Notes the time at which the phase named (a string literal) ended.
void Mark(const char* phase);
// Writes the marks, once, to the file named after --phases on the command line.
void Report();
#else
inline void Mark(const char*) {}
inline void Report() {}
#endif

}  // namespace quendral::start_phases
