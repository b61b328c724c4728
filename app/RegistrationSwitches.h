#pragma once
#include <string>

// Whether a command line as the program gets it (its own path first) holds
// one of the switches with which Windows and installers ask a COM server to
// register or unregister its classes: "/regserver" or "/unregserver", with
// "/" or "-", in any case.
bool registrationSwitchGiven(const std::string& commandLine);
