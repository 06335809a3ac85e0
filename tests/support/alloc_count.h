// alloc_count.h - every operator new of the test program counted, for the
// tests that expect none while a pattern plays. The counting operator new
// is in alloc_count.cpp: link it into that one program only.
#pragma once

// Allocations made since the program started.
long ALLOCATIONS();
