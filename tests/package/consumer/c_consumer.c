/* The C interface, from C. */
#include <quantrel/quantrel_c.h>

#include <stdio.h>

int main(void) {
  double value = 0;
  const int32_t status =
      Quantrel_ForwardStart(1, 1, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, 1, 0, 0, &value);
  if (status != 0) {
    printf("failed: %s\n", Quantrel_ErrorDescription());
    return 1;
  }
  printf("forward-start call from C %.6f\n", value);
  return 0;
}
