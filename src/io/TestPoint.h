#pragma once

// Named steps of the writes of file sets, where a test can stop the process (to race another one
// against it, or to kill it there): PRX5M_STOP_AT=NAME stops the process with SIGSTOP the first
// time it reaches NAME, NAME#N the N-th time. Without the variable nothing happens.
namespace TestPoint {

void reached(const char *name);

} // namespace TestPoint
