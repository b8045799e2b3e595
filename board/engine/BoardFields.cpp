// One field of the board: the output takes its next queued field, the input
// pin and the output monitoring pin deliver theirs to the probes, and the
// programs' callbacks run.
#include <cstring>

#include "Board.h"
#include "FieldFormat.h"
#include "TestSignal.h"

namespace quellor::board {

struct Board::Deliveries {
  struct ProbeCall {
    std::shared_ptr<Probe> probe;
    ProbeBuffer* buffer;
    RTME_ProbeCallback callback;
    void* context;
  };
  struct Completion {
    std::shared_ptr<Producer> producer;
    Harmonex_Completion callback;
    DWORD fieldAddress;
    void* context;
  };
  std::vector<ProbeCall> probeCalls;
  std::vector<Completion> completions;
};

namespace {

DWORD StandardCode(VideoStandard standard) {
  return standard == VideoStandard::Pal ? kFieldStandardPal : kFieldStandardNtsc;
}

ProbeBuffer* TakeFreeBuffer(Probe& probe) {
  for (auto& buffer : probe.buffers)
    if (!buffer.held) return &buffer;
  return nullptr;
}

}  // namespace

void Board::RefreshInput(bool force) {
  if (!inputStore_->Changed() && !force) return;
  InputState loaded;
  if (!inputStore_->Load(loaded)) return;  // keep what we had
  input_ = loaded;
  signal_.Configure(input_.setting);
}

void Board::RunField(std::uint32_t field) {
  std::lock_guard fieldLock(fieldMutex_);
  Deliveries deliveries;
  {
    std::lock_guard lock(mutex_);
    deliveryThread_ = std::this_thread::get_id();
    RefreshInput(false);
    ShowNextOutputField(field, deliveries);
    DeliverInputField(field, deliveries);
    DeliverMonitorField(field, deliveries);
  }
  RunDeliveries(deliveries);
  deliveryThread_ = std::thread::id();
}

void Board::ShowNextOutputField(std::uint32_t field, Deliveries& deliveries) {
  // The oldest queued field of any source goes next. A field waits for a
  // field time of its own parity, so frames stay frames on the output.
  FieldQueue<QueuedField>* next = nullptr;
  std::shared_ptr<Producer> fromProducer;
  std::shared_ptr<Output> fromOutput;
  const auto consider = [&](FieldQueue<QueuedField>& queue) {
    if (queue.empty() || (next && next->front().sequence <= queue.front().sequence)) return false;
    next = &queue;
    return true;
  };
  for (const auto& [spiderHandle, spider] : spiders_) {
    if (!spider->routing) continue;
    for (DWORD producerHandle : spider->producers) {
      const auto producer = producers_.find(producerHandle);
      if (producer != producers_.end() && consider(producer->second->queue)) {
        fromProducer = producer->second;
        fromOutput.reset();
      }
    }
  }
  for (const auto& [outputHandle, output] : outputs_) {
    if (consider(output->queue)) {
      fromOutput = output;
      fromProducer.reset();
    }
  }
  if (!next || next->front().parity != (field & 1u)) return;
  if (fromOutput && static_cast<std::int32_t>(field - next->front().earliestField) < 0) return;

  const QueuedField shown = std::move(next->front());
  next->pop_front();
  shared_->WriteShownField(shown.standard, shown.parity, shown.pixels, field);
  if (fromProducer && shown.context && fromProducer->completion) {
    ++fromProducer->callbacksInFlight;
    deliveries.completions.push_back(
        {fromProducer, fromProducer->completion, shown.fieldAddress, shown.context});
  }
  if (fromOutput) {
    // Field times the output let pass since its last field (the clock ran
    // them without a new field, or skipped them) showed that field again.
    if (fromOutput->showedField && field - fromOutput->lastShownField > 1)
      shared_->AddRepeatedFields(field - fromOutput->lastShownField - 1);
    fromOutput->showedField = true;
    fromOutput->lastShownField = field;
  }
  if (fromOutput && shown.parity == 1) {
    for (auto& frame : fromOutput->frames) {
      if (frame.token == shown.frameToken && frame.state == FrameState::Queued) {
        frame.state = FrameState::Free;
        frame.token = 0;
      }
    }
  }
}

void Board::DeliverInputField(std::uint32_t field, Deliveries& deliveries) {
  if (!signal_.HasSignal()) return;  // no signal: the input pin is silent
  const DWORD standard = StandardCode(signal_.standard());
  const DWORD fieldBytes = BoardFieldBytes(standard);
  const BYTE* rendered = nullptr;
  for (const auto& [handle, probe] : probes_) {
    if (probe->pin != ProbePin::Input || !probe->callback) continue;
    ProbeBuffer* buffer = TakeFreeBuffer(*probe);
    if (!buffer) {
      // The program still holds every buffer of this probe: the field is lost.
      ++processOverruns_;
      shared_->AddOverruns(1);
      continue;
    }
    if (!rendered) {
      if (!signal_.RenderField(field, buffer->pixels->data())) return;
      rendered = buffer->pixels->data();
    } else {
      std::memcpy(buffer->pixels->data(), rendered, fieldBytes);
    }
    buffer->info.recordBytes = sizeof(RTME_FieldInfo);
    buffer->info.bufferToken = NewHandle();
    buffer->info.fieldBytes = fieldBytes;
    buffer->info.timeStamp = field;
    buffer->info.signalFlags = kFieldSignalPresent;
    buffer->info.format = MakeFieldFormat(standard, field & 1u);
    buffer->held = true;
    ++probe->callbacksInFlight;
    deliveries.probeCalls.push_back({probe, buffer, probe->callback, probe->context});
  }
}

void Board::DeliverMonitorField(std::uint32_t field, Deliveries& deliveries) {
  const DWORD parity = field & 1u;
  bool fieldReady = false;
  DWORD standard = 0;
  for (const auto& [handle, probe] : probes_) {
    if (probe->pin != ProbePin::Monitor || !probe->callback) continue;
    if (!fieldReady) {
      // What the output shows: the last field a program put there, or the
      // live input (black when the input has no signal).
      if (!shared_->ReadShownField(parity, scratchField_.data(), standard)) {
        standard = StandardCode(signal_.standard());
        if (!signal_.RenderField(field, scratchField_.data()))
          RenderBlackField(signal_.standard(), scratchField_.data());
      }
      fieldReady = true;
    }
    ProbeBuffer* buffer = TakeFreeBuffer(*probe);
    if (!buffer) {
      ++processOverruns_;
      shared_->AddOverruns(1);
      continue;
    }
    const DWORD fieldBytes = BoardFieldBytes(standard);
    std::memcpy(buffer->pixels->data(), scratchField_.data(), fieldBytes);
    buffer->info.recordBytes = sizeof(RTME_FieldInfo);
    buffer->info.bufferToken = NewHandle();
    buffer->info.fieldBytes = fieldBytes;
    buffer->info.timeStamp = field;
    buffer->info.signalFlags = kFieldSignalPresent;
    buffer->info.format = MakeFieldFormat(standard, parity);
    buffer->held = true;
    ++probe->callbacksInFlight;
    deliveries.probeCalls.push_back({probe, buffer, probe->callback, probe->context});
  }
}

void Board::RunDeliveries(Deliveries& deliveries) {
  for (auto& call : deliveries.probeCalls) {
    bool run;
    {
      std::lock_guard lock(mutex_);
      // Detached or destroyed by an earlier callback of this field.
      run = !call.probe->destroyed && call.probe->pin != ProbePin::None;
      if (!run) {
        call.buffer->held = false;
        --call.probe->callbacksInFlight;
      }
    }
    if (!run) {
      callbacksDone_.notify_all();
      continue;
    }
    call.callback(call.context, call.buffer->pixels->data(), &call.buffer->info);
    {
      std::lock_guard lock(mutex_);
      --call.probe->callbacksInFlight;
    }
    callbacksDone_.notify_all();
  }
  for (auto& completion : deliveries.completions) {
    bool run;
    {
      std::lock_guard lock(mutex_);
      run = !completion.producer->destroyed;
      if (!run) --completion.producer->callbacksInFlight;
    }
    if (run) {
      completion.callback(completion.producer->handle, completion.fieldAddress, completion.context);
      std::lock_guard lock(mutex_);
      --completion.producer->callbacksInFlight;
    }
    callbacksDone_.notify_all();
  }
}

}  // namespace quellor::board
