// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pulse/pulse_speaker.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

#include "platform/audio_format.h"

namespace zudorave {

namespace {

using Step = PulseConnection::Step;
constexpr double BeepAmplitude = 16000;
constexpr pa_sample_spec BeepFormat{PA_SAMPLE_S16LE, SampleRate, 1};

std::vector<int16_t> Tone(uint32_t frequency, uint32_t milliseconds) {
  std::vector<int16_t> samples(uint64_t{SampleRate} * milliseconds / 1000);
  const double step = 2 * std::numbers::pi * frequency / SampleRate;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(BeepAmplitude * std::sin(step * static_cast<double>(i)));
  }
  return samples;
}

void WakeConnection(pa_stream* /*stream*/, void* connection) {
  static_cast<PulseConnection*>(connection)->Signal();
}

// With the lock held: a stream on the sink, ready for the tone.
Step OpenStream(PulseConnection& connection, const std::string& sink, pa_stream*& stream) {
  stream = pa_stream_new(connection.Context(), "Beep", &BeepFormat, nullptr);
  if (!stream) return Step::Refused;
  pa_stream_set_state_callback(stream, &WakeConnection, &connection);
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(PulseSpeaker::LatencyUs, &BeepFormat));
  attr.prebuf = static_cast<uint32_t>(-1);
  attr.minreq = static_cast<uint32_t>(-1);
  attr.fragsize = static_cast<uint32_t>(-1);
  if (pa_stream_connect_playback(stream, sink.empty() ? nullptr : sink.c_str(), &attr,
                                 PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0) {
    return Step::Refused;
  }
  if (!connection.WaitFor([stream] {
        const pa_stream_state_t state = pa_stream_get_state(stream);
        return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
      })) {
    return Step::TimedOut;
  }
  return pa_stream_get_state(stream) == PA_STREAM_READY ? Step::Done : Step::Refused;
}

// With the lock held: the whole tone in at once, then waits until the server has played it
// from the stream (draining also starts a tone shorter than the stream's start threshold).
Step PlayOut(PulseConnection& connection, pa_stream* stream, const std::vector<int16_t>& tone) {
  if (!tone.empty() && pa_stream_write(stream, tone.data(), tone.size() * sizeof(int16_t), nullptr,
                                       0, PA_SEEK_RELATIVE) < 0) {
    return Step::Refused;
  }
  struct Drain {
    PulseConnection& connection;
    bool done = false;
  } drain{connection};
  pa_operation* operation = pa_stream_drain(
      stream,
      [](pa_stream*, int /*success*/, void* data) {
        auto& waiting = *static_cast<Drain*>(data);
        waiting.done = true;
        waiting.connection.Signal();
      },
      &drain);
  if (!operation) return Step::Refused;
  // A server that goes away cancels the drain without calling back; the stream says so.
  connection.WaitFor(
      [&drain, stream] { return drain.done || !PA_STREAM_IS_GOOD(pa_stream_get_state(stream)); });
  if (!drain.done) pa_operation_cancel(operation);
  pa_operation_unref(operation);
  return drain.done ? Step::Done : Step::Refused;
}

void CloseStream(pa_stream* stream) {
  if (!stream) return;
  pa_stream_set_state_callback(stream, nullptr, nullptr);
  pa_stream_disconnect(stream);
  pa_stream_unref(stream);
}

}  // namespace

void PulseSpeaker::Beep(uint32_t frequency, uint32_t milliseconds) {
  const auto start = std::chrono::steady_clock::now();
  if (Play(frequency, milliseconds) != MMSYSERR_NOERROR) {
    std::this_thread::sleep_until(start + std::chrono::milliseconds(milliseconds));
  }
}

void PulseSpeaker::MessageBeep(uint32_t /*type*/) {
  Beep(MessageBeepFrequency, MessageBeepMilliseconds);
}

MmResult PulseSpeaker::Play(uint32_t frequency, uint32_t milliseconds) {
  const std::vector<int16_t> tone = Tone(frequency, milliseconds);
  if (!connection_.Start()) return MMSYSERR_NODRIVER;
  MmResult result = MMSYSERR_NOERROR;
  {
    PulseConnection::Lock lock(connection_);
    connection_.SetDeadline(OpenWithinMs);
    Step step = connection_.Connect();
    if (step == Step::Done) {
      step = connection_.FindDevice(PulseConnection::Side::Sink, sink_, sinkName_);
    }
    pa_stream* stream = nullptr;
    if (step == Step::Done) step = OpenStream(connection_, sinkName_, stream);
    if (step == Step::Done) {
      // Once the tone has begun, a failure is not a missing server: nothing should play it again.
      connection_.SetDeadline(milliseconds + 1000);
      if (PlayOut(connection_, stream, tone) != Step::Done) result = MMSYSERR_ERROR;
    } else {
      result = step == Step::TimedOut ? MMSYSERR_ERROR : MMSYSERR_NODRIVER;
    }
    CloseStream(stream);
    // A stalled server may answer this context much later; the next beep starts afresh.
    if (result == MMSYSERR_ERROR) connection_.Disconnect();
  }
  if (result != MMSYSERR_NOERROR) return result;
  // The last samples have left the stream, not yet the sink.
  std::this_thread::sleep_for(std::chrono::microseconds(LatencyUs));
  return MMSYSERR_NOERROR;
}

}  // namespace zudorave
