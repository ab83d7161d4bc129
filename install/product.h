// The product's name, the one place both programs take it from: the Apps &
// features entry is named after it and shows it.
#pragma once

inline const char* productName() { return "Quillmark Demo"; }
