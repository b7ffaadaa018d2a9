#pragma once

class TMainForm;

// For tools/screenshot.sh only: when DOPPLET_SCREENSHOT names a PNG file and DOPPLET_AUTOSEARCH a
// folder, adds the folder as a target, searches it, selects the first group, saves pictures of
// the results page (the PNG) and the targets page (the PNG with "-targets" before ".png"), and
// closes the window. Otherwise does nothing.
void StartScreenshotModeIfAsked(TMainForm& window);
