#pragma once

// Makes the process look for a DLL named without a folder in the system folder only, never in the
// program's own folder or the working folder: a program run from a folder others can write (a
// Downloads folder, a shared one) would otherwise load a DLL planted there under a system DLL's
// name. Called first thing, before anything loads a DLL. Windows only; knows no program.
void LoadDllsFromSystemFolderOnly() noexcept;
