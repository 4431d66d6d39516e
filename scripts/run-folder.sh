# A fresh run folder as a user's PC holds it (sourced, not run): the five programs side by side,
# with the graphics test's media beside the graphics test.

# Fills folder $2 from the build's bin/ folder $1.
fill_run_folder() {
  local bin=$1 folder=$2 program
  for program in CorvanaRunEngine CVNCPUBench CVNRAMBench CVNGPUStats ZORTA; do
    cp "$bin/$program.exe" "$folder/"
  done
  # The media: whatever bin/ holds besides programs and libraries, subfolders included, so that
  # files the scene brings later travel without a change here.
  (cd "$bin" && find . -type f ! -iname '*.exe' ! -iname '*.dll' -exec cp --parents {} "$folder/" \;)
}
