// Whether the host's optional outside class is installed. The answer is
// found once per process and kept: installing or removing the class later
// does not change what the format object reports.
#pragma once

// True when an instance of the optional class could be created in-process.
// Needs COM initialised on the calling thread for the first call. Two first
// calls at once may both probe; both store the same answer.
bool OptionalComponentInstalled() noexcept;
