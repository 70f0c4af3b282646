#pragma once

// The program: single instance with hand-over, start-up, message loop and shutdown.
int RunClient(int argc, char** argv);
