#pragma once
// A test build names the points in a path where its schedule may stop a
// thread (tests/support/ScheduledThread.h); elsewhere they are nothing.
#ifdef QORB_SCHEDULE_POINTS
void QorbSchedulePoint(const char* point);
#define SCHEDULE_POINT(point) QorbSchedulePoint(point)
#else
#define SCHEDULE_POINT(point) static_cast<void>(0)
#endif
