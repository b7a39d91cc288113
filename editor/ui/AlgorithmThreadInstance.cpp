#include "editor/ui/AlgorithmThread.h"

CAlgorithmThread theAlgorithmThread;
