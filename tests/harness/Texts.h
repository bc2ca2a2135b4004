// The program's texts that tests compare what they see with, in one place (the string table's
// own test, unit/ResourceTests.cpp, compares every entry word for word).
#pragma once

namespace harness {

const char kCaption[] = "ZUV Izov Printer Software Wizard";
const char kErrorCaption[] = "Unable to complete the install.";
const char kMonitorName[] = "ZUV Izov Language/Port Monitor";
const char kStartSpooler[] = "To install a printer driver, the spooler service must be running. The spooler is "
                             "currently stopped.\n\nDo you want to start this service?";
const char kUpgradeQuestion[] = "To install this printer driver, the newest version of the VEL VOV Language/Port "
                                "Monitor must be installed.  During this installation, the spooler on this machine "
                                "will be stopped and restarted.\n\nDo you want to proceed?";
const char kNoMonitorInf[] = "Unable to open file: monitorxp.inf.\nInstallation aborted.";
const char kIllegalName[] = "The name you specified contains illegal characters ! \\ \\ / : * ? < > | , or is too "
                            "long. Maximum length is 220 characters.";
const char kNoDirectory[] = "No directory selected or created.";
// The prefixes of the spooler's steps' failures: its start, stop and restart, and its dependents'.
const char* const kSpoolerPrefixes[] = { "Unable to start the spooler service: ", "Unable to stop spooler: ",
                                         "Unable to restart spooler: ",
                                         "Some services that are dependent on the spooler service might not have "
                                         "successfully restarted: " };
const char kNameTaken[] = "A printer by that name or shared name is already installed.\nPlease choose a different name.";

} // namespace harness
