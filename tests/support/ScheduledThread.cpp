#include "tests/support/ScheduledThread.h"

void QorbSchedulePoint(const char* point) { TScheduledThread::Arrive(point); }
