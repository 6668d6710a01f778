// Keeps a variant library non-empty while its program has no variant files yet.
namespace { [[maybe_unused]] int variant_placeholder; }
