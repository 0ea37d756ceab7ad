// The framework's own classes made known to the form reader at once: a stored form may name a
// class the program has not used in code yet.
#pragma once

namespace vex::host {

// Registers every class of the framework that a stored form can name. Calling it again does
// nothing more.
void RegisterStandardClasses();

}  // namespace vex::host
