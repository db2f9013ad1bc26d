#pragma once
// The program's commands, each taking the words after its name.
#include <string>
#include <vector>

#include "host/session.h"

namespace host {

struct GlobalOptions {
  std::string profileDir;
  SessionOptions session;
  bool readInput = true;  // run takes typed commands and answers from standard input
};

using Words = std::vector<std::string>;

int RunCommand(const std::string& command, const Words& args, const GlobalOptions& global);

int CmdDemo(const Words& args, const GlobalOptions& global);
int CmdInit(const Words& args, const GlobalOptions& global);
int CmdPublicFolders(const Words& args, const GlobalOptions& global);
int CmdConnect(const Words& args, const GlobalOptions& global);
int CmdRegistry(const Words& args, const GlobalOptions& global);
int CmdFolder(const Words& args, const GlobalOptions& global);
int CmdAppt(const Words& args, const GlobalOptions& global);
int CmdSettings(const Words& args, const GlobalOptions& global);
int CmdSetCalendar(const Words& args, const GlobalOptions& global);
int CmdSync(const Words& args, const GlobalOptions& global);
int CmdImport(const Words& args, const GlobalOptions& global);
int CmdRun(const Words& args, const GlobalOptions& global);
int CmdAddress(const Words& args, const GlobalOptions& global);
int CmdAppointmentOptions(const Words& args, const GlobalOptions& global);
int CmdClick(const Words& args, const GlobalOptions& global);
int CmdExport(const Words& args, const GlobalOptions& global);
int CmdPrint(const Words& args, const GlobalOptions& global);
int CmdOptions(const Words& args, const GlobalOptions& global);
int CmdFolderProperties(const Words& args, const GlobalOptions& global);
int CmdGui(const Words& args, const GlobalOptions& global);  // loads host/window/

// The profile named by --profile; UsageError when none was given or it does not exist.
Profile RequireProfile(const GlobalOptions& global);
// text as a whole number from low to high; UsageError naming what otherwise.
int64_t WholeNumber(const std::string& what, const std::string& text, int64_t low, int64_t high);
void PrintFile(const std::string& path);

}  // namespace host
