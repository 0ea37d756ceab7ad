// The umbrella an application links: the skin engine with the standard control wrappers.
#pragma once

namespace vex {

// Call once at start, before any form is read: makes the skin engine and the framework's classes
// known to the form reader and registers the standard control wrappers into the engine's class
// tables. Calling it again does nothing.
void InitializeSkinning();

}  // namespace vex
