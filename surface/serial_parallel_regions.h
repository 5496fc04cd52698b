#pragma once
// OpenMP parallel regions that run on the thread that opens them, without a team, while
// a SerialParallelRegions lives on that thread.
//
// Why. CHOLMOD's supernodal factorisation opens an OpenMP region for every supernode and
// for every update of one: about 215,000 regions for 501 x 501 nodes, most of them a
// loop of a few dozen entries. Even a region of one thread costs the runtime a team, its
// work share and a barrier whose release is a futex system call, and those took a
// quarter of the whole gridding (more than the factorisation's arithmetic). The loops
// themselves are memory-bound and too short for a second thread to pay.
//
// How. The GNU OpenMP runtime starts every region through GOMP_parallel(fn, data, ...),
// which makes the team and calls fn(data) on each of its threads. The program defines
// GOMP_parallel itself, and so takes the place of the runtime's for the libraries too:
// on a thread inside a SerialParallelRegions it calls fn(data) directly, as the one
// thread of the region; everywhere else it hands the call to the runtime's own, found
// once with dlsym(RTLD_NEXT). A region run this way is the region the runtime would
// have run with one thread: omp_get_num_threads() is 1 and omp_get_thread_num() 0, and
// its work-sharing loops, single blocks and barriers are the runtime's orphaned ones.
namespace gridora {

class SerialParallelRegions {
 public:
  SerialParallelRegions();
  ~SerialParallelRegions();
  SerialParallelRegions(const SerialParallelRegions&) = delete;
  SerialParallelRegions& operator=(const SerialParallelRegions&) = delete;

 private:
  bool previous_;
};

// True while the calling thread's parallel regions run on it alone.
bool ParallelRegionsSerial();

// The cores of this machine less the load of other programs (the one-minute load
// average, which counts the calling thread too), at least one.
int IdleCores();

}  // namespace gridora
