#pragma once

// What res_probe found about itself, as the bits of its exit code.
enum TProbeReport : unsigned long {
  prMainIconLoads = 1,    // LoadIcon(instance, "MAINICON") found the icon
  prCommonControls6 = 2,  // comctl32 came from the version 6 assembly the manifest asks for
  prDpiAware = 4,         // the process's manifest, as the loader read it, says dpiAware true
};
