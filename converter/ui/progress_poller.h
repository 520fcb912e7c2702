// A thread that reports the progress of work running elsewhere: it calls its
// report at once and then every period until it is stopped, then calls its
// final report once and ends. It touches no widget; the reports emit queued
// signals. Stop wakes it at once, so closing the window never waits a period.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class CProgressPoller
{
public:
    CProgressPoller() = default;
    CProgressPoller(const CProgressPoller&) = delete;
    CProgressPoller& operator=(const CProgressPoller&) = delete;
    ~CProgressPoller() { Stop(); }

    // Stops a poller that still runs first.
    void Start(std::function<void()> fnReport, std::function<void()> fnFinal,
               std::chrono::milliseconds period = std::chrono::milliseconds(200));
    // Runs fnBody in the poller's thread; the body calls Run.
    void Start(std::function<void()> fnBody);
    // The poll in the calling thread (the poller's): fnReport at once and
    // then every period until Stop, then fnFinal once.
    void Run(const std::function<void()>& fnReport, const std::function<void()>& fnFinal,
             std::chrono::milliseconds period = std::chrono::milliseconds(200));
    // Sets the stop flag and waits for the final report; a poller that has not
    // made its first report yet still makes it.
    void Stop();
    bool Running() const { return m_Thread.joinable(); }

private:
    std::thread m_Thread;
    std::mutex m_Mutex;
    std::condition_variable m_Wake;
    bool m_bStop = false;
};
