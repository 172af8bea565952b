// The options of every tool and the text tool's font, kept from one opening of the editor to the
// next in "KVRTCH.INI" beside the library (read when it exists, always written). Without it the
// older "KVRTOUCH.INI" is read instead: its tool keys carry the tool code minus one (the image
// adjustment excepted) and its values have no option field.
#pragma once

// Reads the file into the tool table and the font of the state record. Missing files, keys and
// fields leave the defaults; every value read is brought into the editor's ranges.
void LoadEditorSettings();

// Writes the ten tool entries and the font into "KVRTCH.INI", creating it when missing.
void SaveEditorSettings();
