#pragma once
// The handlers of the 185 command words, one per word, by family. A handler runs with the
// parameter text of its command in the context, takes its parameters from the front of it and
// leaves the rest (nothing, a comment, or ';' and a further command).

namespace script {

class ScriptContext;

// Flow control, arithmetic, delays and program start (flow_commands.cpp)
void CommandCall(ScriptContext& context);
void CommandCallAndGosub(ScriptContext& context);
void CommandCompute(ScriptContext& context);
void CommandComputeAbs(ScriptContext& context);
void CommandComputeSqrt(ScriptContext& context);
void CommandDelay(ScriptContext& context);
void CommandDelayUntil(ScriptContext& context);
void CommandEnd(ScriptContext& context);
void CommandExecute(ScriptContext& context);
void CommandExit(ScriptContext& context);
void CommandGosub(ScriptContext& context);
void CommandGoto(ScriptContext& context);
void CommandIf(ScriptContext& context);
void CommandIfSet(ScriptContext& context);
void CommandInterpret(ScriptContext& context);
void CommandRandom(ScriptContext& context);
void CommandRandomize(ScriptContext& context);
void CommandReturn(ScriptContext& context);

// Animations (animation_commands.cpp)
void CommandAnimationAdvance(ScriptContext& context);
void CommandAnimationAdvanceNoPalette(ScriptContext& context);
void CommandAnimationBackToStart(ScriptContext& context);
void CommandAnimationClose(ScriptContext& context);
void CommandAnimationDelay(ScriptContext& context);
void CommandAnimationFrames(ScriptContext& context);
void CommandAnimationGoto(ScriptContext& context);
void CommandAnimationHeight(ScriptContext& context);
void CommandAnimationList(ScriptContext& context);
void CommandAnimationLoadToBitmap(ScriptContext& context);
void CommandAnimationOpen(ScriptContext& context);
void CommandAnimationPlay(ScriptContext& context);
void CommandAnimationStillDelay(ScriptContext& context);
void CommandAnimationToBitmap(ScriptContext& context);
void CommandAnimationToScreen(ScriptContext& context);
void CommandAnimationTracks(ScriptContext& context);
void CommandAnimationWidth(ScriptContext& context);

// Bitmaps (bitmap_commands.cpp)
void CommandBitmapAlloc(ScriptContext& context);
void CommandBitmapBox(ScriptContext& context);
void CommandBitmapChangeColor(ScriptContext& context);
void CommandBitmapClear(ScriptContext& context);
void CommandBitmapFadeInPalette(ScriptContext& context);
void CommandBitmapFilledBox(ScriptContext& context);
void CommandBitmapFree(ScriptContext& context);
void CommandBitmapFromScreen(ScriptContext& context);
void CommandBitmapGetBrightestPaletteIndex(ScriptContext& context);
void CommandBitmapGetDarkestPaletteIndex(ScriptContext& context);
void CommandBitmapGetPalette(ScriptContext& context);
void CommandBitmapGetPaletteValue(ScriptContext& context);
void CommandBitmapGetPixel(ScriptContext& context);
void CommandBitmapHeight(ScriptContext& context);
void CommandBitmapLine(ScriptContext& context);
void CommandBitmapList(ScriptContext& context);
void CommandBitmapPaletteToPalette(ScriptContext& context);
void CommandBitmapSetPalette(ScriptContext& context);
void CommandBitmapSetPaletteValue(ScriptContext& context);
void CommandBitmapSetPixel(ScriptContext& context);
void CommandBitmapText(ScriptContext& context);
void CommandBitmapToBitmap(ScriptContext& context);
void CommandBitmapToBitmapMask(ScriptContext& context);
void CommandBitmapToBitmapTrans(ScriptContext& context);
void CommandBitmapToScreen(ScriptContext& context);
void CommandBitmapToScreenMask(ScriptContext& context);
void CommandBitmapToScreenTrans(ScriptContext& context);
void CommandBitmapWidth(ScriptContext& context);

// Screen and window (screen_commands.cpp)
void CommandScreenAdjustXY(ScriptContext& context);
void CommandScreenBox(ScriptContext& context);
void CommandScreenClear(ScriptContext& context);
void CommandScreenFadeOutClear(ScriptContext& context);
void CommandScreenFadeSpeed(ScriptContext& context);
void CommandScreenFilledBox(ScriptContext& context);
void CommandScreenForcePaletteZeroBlack(ScriptContext& context);
void CommandScreenGetBrightestPaletteIndex(ScriptContext& context);
void CommandScreenGetDarkestPaletteIndex(ScriptContext& context);
void CommandScreenGetPixel(ScriptContext& context);
void CommandScreenGraphics(ScriptContext& context);
void CommandScreenHeight(ScriptContext& context);
void CommandScreenInfo(ScriptContext& context);
void CommandScreenLine(ScriptContext& context);
void CommandScreenPaletteLock(ScriptContext& context);
void CommandScreenSetPixel(ScriptContext& context);
void CommandScreenSettings(ScriptContext& context);
void CommandScreenText(ScriptContext& context);
void CommandScreenWidth(ScriptContext& context);
void CommandScreenWindowAutoPause(ScriptContext& context);
void CommandScreenWindowBorder(ScriptContext& context);
void CommandScreenWindowHasFocus(ScriptContext& context);
void CommandScreenWindowHpal(ScriptContext& context);
void CommandScreenWindowHwnd(ScriptContext& context);
void CommandScreenWindowPos(ScriptContext& context);
void CommandScreenWindowTitle(ScriptContext& context);

// Text (text_commands.cpp)
void CommandText(ScriptContext& context);
void CommandTextBackColor(ScriptContext& context);
void CommandTextBegin(ScriptContext& context);
void CommandTextColor(ScriptContext& context);
void CommandTextFontFromBitmap(ScriptContext& context);
void CommandTextNoCr(ScriptContext& context);
void CommandTextSetXY(ScriptContext& context);
void CommandTextTransColor(ScriptContext& context);
void CommandTextX(ScriptContext& context);
void CommandTextY(ScriptContext& context);

// Keyboard and mouse input (input_commands.cpp)
void CommandInputChar(ScriptContext& context);
void CommandInputCharOrDelay(ScriptContext& context);
void CommandInputMsgWin(ScriptContext& context);
void CommandInputStr(ScriptContext& context);
void CommandInputStrWin(ScriptContext& context);
void CommandMouseAdd(ScriptContext& context);
void CommandMouseArea(ScriptContext& context);
void CommandMouseMode(ScriptContext& context);
void CommandMousePop(ScriptContext& context);
void CommandMousePresent(ScriptContext& context);
void CommandMousePushAndRemoveAll(ScriptContext& context);
void CommandMouseRemove(ScriptContext& context);
void CommandMouseRemoveAll(ScriptContext& context);
void CommandMouseSetXY(ScriptContext& context);
void CommandMouseX(ScriptContext& context);
void CommandMouseY(ScriptContext& context);

// Files, directories, drives and environment (file_commands.cpp, file_search_commands.cpp,
// drive_commands.cpp)
void CommandDirChange(ScriptContext& context);
void CommandDirCurrent(ScriptContext& context);
void CommandDirExists(ScriptContext& context);
void CommandDirMake(ScriptContext& context);
void CommandDirRemove(ScriptContext& context);
void CommandDriveAvail(ScriptContext& context);
void CommandDriveSize(ScriptContext& context);
void CommandEnvGet(ScriptContext& context);
void CommandEnvSet(ScriptContext& context);
void CommandFileAppend(ScriptContext& context);
void CommandFileCdrom(ScriptContext& context);
void CommandFileClose(ScriptContext& context);
void CommandFileCopy(ScriptContext& context);
void CommandFileCreate(ScriptContext& context);
void CommandFileDelete(ScriptContext& context);
void CommandFileEof(ScriptContext& context);
void CommandFileExists(ScriptContext& context);
void CommandFileFind(ScriptContext& context);
void CommandFileFindNext(ScriptContext& context);
void CommandFileFullPath(ScriptContext& context);
void CommandFileGetAttrib(ScriptContext& context);
void CommandFileList(ScriptContext& context);
void CommandFileOpen(ScriptContext& context);
void CommandFilePieces(ScriptContext& context);
void CommandFileRead(ScriptContext& context);
void CommandFileRemote(ScriptContext& context);
void CommandFileRemovable(ScriptContext& context);
void CommandFileRename(ScriptContext& context);
void CommandFileSetAttrib(ScriptContext& context);
void CommandFileSize(ScriptContext& context);
void CommandFileTemp(ScriptContext& context);
void CommandFileWrite(ScriptContext& context);

// System services, sound and printing (system_commands.cpp, print_commands.cpp)
void CommandMciSendString(ScriptContext& context);
void CommandPrintBegin(ScriptContext& context);
void CommandPrintEnd(ScriptContext& context);
void CommandPrintPageAdv(ScriptContext& context);
void CommandSound(ScriptContext& context);
void CommandSystemColors(ScriptContext& context);
void CommandSystemCommandLine(ScriptContext& context);
void CommandSystemCurrentExe(ScriptContext& context);
void CommandSystemCurrentScript(ScriptContext& context);
void CommandSystemDateTime(ScriptContext& context);
void CommandSystemDisplayResolution(ScriptContext& context);
void CommandSystemMemory(ScriptContext& context);
void CommandSystemOsMajor(ScriptContext& context);
void CommandSystemOsMinor(ScriptContext& context);
void CommandSystemPlatform(ScriptContext& context);
void CommandSystemTimer(ScriptContext& context);
void CommandSystemUseDirectSound(ScriptContext& context);

// The trace file (debug_commands.cpp)
void CommandDebugFile(ScriptContext& context);
void CommandDebugText(ScriptContext& context);

// Strings (string_commands.cpp)
void CommandStrAddBackslash(ScriptContext& context);
void CommandStrFind(ScriptContext& context);
void CommandStrFirst(ScriptContext& context);
void CommandStrIsLabel(ScriptContext& context);
void CommandStrIsNumeric(ScriptContext& context);
void CommandStrLCase(ScriptContext& context);
void CommandStrLength(ScriptContext& context);
void CommandStrLPad(ScriptContext& context);
void CommandStrLPadZero(ScriptContext& context);
void CommandStrPiece(ScriptContext& context);
void CommandStrRepeat(ScriptContext& context);
void CommandStrRPad(ScriptContext& context);
void CommandStrTrim(ScriptContext& context);
void CommandStrUCase(ScriptContext& context);

// Variables (variable_commands.cpp)
void CommandVarFree(ScriptContext& context);
void CommandVarList(ScriptContext& context);
void CommandVarPop(ScriptContext& context);
void CommandVarPush(ScriptContext& context);
void CommandVarSet(ScriptContext& context);

}  // namespace script
