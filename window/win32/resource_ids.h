#pragma once

// Identifiers of the resources in pelmora.rc, shared by the resource script and the code.

/// The program's icon: a 32x32 and a 16x16 image, 16 colours.
#define PELMORA_ICON 1
